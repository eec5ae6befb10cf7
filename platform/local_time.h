#pragma once
// The host's reentrant conversion of a time to the local calendar (platform/win32/local_time.cpp,
// platform/posix/local_time.cpp), for platform/clock.cpp.
#include <ctime>

namespace platform::host {

// `local` = `time` in the local time zone. False when it cannot be converted.
bool ToLocalTime(std::time_t time, std::tm& local);

}  // namespace platform::host
