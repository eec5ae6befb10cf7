#include "platform/clock.h"

#include <ctime>

#include "platform/local_time.h"

namespace platform {

std::string LocalTimeText(const char* format) {
  const std::time_t now = std::time(nullptr);
  // The reentrant forms: the C library's localtime() looks at the system's time zone file again
  // on every call, and the change log asks for the time once per change.
  std::tm local{};
  const bool converted = host::ToLocalTime(now, local);
  char text[64];
  if (!converted || std::strftime(text, sizeof text, format, &local) == 0) return {};
  return text;
}

}  // namespace platform
