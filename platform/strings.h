#pragma once
// Small text rules shared by every layer: joining paths, ASCII case folding, splitting, and
// reading a decimal number as atoi does without its overflow.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// `folder` and `name` joined with one backslash, both taken as they are.
std::string JoinPath(const std::string& folder, const std::string& name);

// `c` in upper or lower case when it is an ASCII letter; any other byte unchanged.
char AsciiUpper(char c);
char AsciiLower(char c);

// The non-empty runs of `text` between any of the characters of `separators`, in order.
std::vector<std::string> SplitOn(const std::string& text, const char* separators);

// The smallest and largest value ParseClampedDecimal gives.
inline constexpr int32_t kDecimalMin = INT32_MIN;
inline constexpr int32_t kDecimalMax = INT32_MAX;

// The decimal value as atoi reads it: leading white space, an optional sign, the digits up to the
// first non-digit; 0 without digits. A value beyond kDecimalMin..kDecimalMax is held at that end.
int32_t ParseClampedDecimal(const std::string& text);

}  // namespace platform
