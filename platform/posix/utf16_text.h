#pragma once
// UTF-16 text as Linux spells it: UTF-8.
#include <string>

namespace platform::posix {

// `units` as UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& units);

// `text` as UTF-16; a byte that is not part of valid UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);

}  // namespace platform::posix
