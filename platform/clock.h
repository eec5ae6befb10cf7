#pragma once
// The local date and time as text.
#include <string>

namespace platform {

// The local time now, formatted with strftime's `format` (e.g. "%Y-%m-%d %H:%M:%S").
std::string LocalTimeText(const char* format);

}  // namespace platform
