#pragma once
// UTF-8, the encoding of Linux file names and terminals.
#include <optional>
#include <string>

namespace platform::posix {

// The code point of the UTF-8 sequence at `at`, advancing `at` past it; nullopt, advancing one
// byte, when no valid sequence starts there (overlong forms and encoded surrogates included).
std::optional<char32_t> DecodeUtf8At(const std::string& text, size_t& at);

// Appends the code point `c` to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace platform::posix
