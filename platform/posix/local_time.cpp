#include "platform/local_time.h"

namespace platform::host {

bool ToLocalTime(std::time_t time, std::tm& local) { return localtime_r(&time, &local) != nullptr; }

}  // namespace platform::host
