#include "platform/local_time.h"

namespace platform::host {

bool ToLocalTime(std::time_t time, std::tm& local) { return localtime_s(&local, &time) == 0; }

}  // namespace platform::host
