#include "platform/clock.h"

#include <ctime>

namespace platform {

std::string LocalTimeText(const char* format) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[64];
  if (!local || std::strftime(text, sizeof text, format, local) == 0) return {};
  return text;
}

}  // namespace platform
