#include "platform/text.h"

#include <mbstring.h>
#include <windows.h>

namespace platform {

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

size_t FindLastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  const char* const begin = path.c_str();
  const char* const end = begin + path.size();
  for (const char* p = begin; p < end;) {
    if (*p == '\\') last = static_cast<size_t>(p - begin);
    const char* next = CharNextA(p);
    // CharNextA stops on a zero byte; step over it so that an embedded zero cannot stall the scan.
    p = next > p ? next : p + 1;
  }
  return last;
}

std::string UpperCase(const std::string& text) {
  std::string upper = text;
  _mbsupr(reinterpret_cast<unsigned char*>(upper.data()));
  return upper;
}

}  // namespace platform
