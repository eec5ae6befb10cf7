#pragma once
// Small text rules shared by every layer: joining, splitting and comparing paths, ASCII case
// folding, splitting text, and reading a decimal number as atoi does without its overflow.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// `folder` and `name` joined with one backslash, both taken as they are.
std::string JoinPath(const std::string& folder, const std::string& name);

// True for "\" and "/", the two characters that separate folders in a path.
bool IsPathSeparator(char c);

// The names of `path` between separators, in order, without empty ones. A double-byte character
// of the system code page is kept whole, so that its trail byte is never taken for a separator.
std::vector<std::string> SplitPath(const std::string& path);

// The last name of `path`, separators at its end passed over; "" when it has none. Double-byte
// characters are kept whole, as in SplitPath.
std::string LastPathComponent(const std::string& path);

// Whether ComparablePath keeps a separator at the end of the path.
enum class TrailingSeparator { kKeep, kDrop };

// `path` in the one spelling that two spellings of the same path share: "/" read as "\", runs of
// separators merged into one, letters in upper case (UpperCase, platform/text.h); with kDrop, a
// separator at the end is dropped unless it is all the path holds. Double-byte characters are kept
// whole, as in SplitPath.
std::string ComparablePath(const std::string& path, TrailingSeparator trailing);

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
