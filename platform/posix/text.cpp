#include "platform/text.h"

#include "platform/strings.h"

namespace platform {

// Linux paths and texts are UTF-8 or single-byte: no byte is a double-byte lead.
bool IsLeadByte(unsigned char) { return false; }

size_t FindLastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

std::string UpperCase(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

}  // namespace platform
