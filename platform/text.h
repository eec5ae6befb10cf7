#pragma once
// Text rules of the system code page.
#include <string>

namespace platform {

// True when `c` is the lead byte of a double-byte character in the system code page.
bool IsLeadByte(unsigned char c);

// Position of the last folder separator of `path`, scanning character by character so that the
// trail byte of a double-byte character is never taken for one; std::string::npos when none.
// On Windows only "\" separates; elsewhere "/" does as well.
size_t FindLastSeparator(const std::string& path);

// `text` in upper case by the system code page's rules (as _mbsupr).
std::string UpperCase(const std::string& text);

}  // namespace platform
