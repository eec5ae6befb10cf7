#include "platform/strings.h"

namespace platform {
namespace {

bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> SplitOn(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  const std::string separatorSet = separators;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(separatorSet, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

int32_t ParseClampedDecimal(const std::string& text) {
  // One past the largest magnitude: enough to tell "too large" for either sign.
  constexpr int64_t kMagnitudeCap = int64_t{kDecimalMax} + 1;
  size_t i = 0;
  while (i < text.size() && IsAsciiSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMagnitudeCap) value = kMagnitudeCap;
  }
  if (negative) value = -value;
  if (value > kDecimalMax) return kDecimalMax;
  if (value < kDecimalMin) return kDecimalMin;
  return static_cast<int32_t>(value);
}

}  // namespace platform
