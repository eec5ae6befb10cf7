#include "platform/strings.h"

#include <array>

#include "platform/text.h"

namespace platform {
namespace {

bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// How many bytes the character at `i` of `text` takes: 2 for a double-byte character of the system
// code page whose trail byte is there, else 1. No lead byte is ASCII, so ASCII asks no code page.
size_t CharacterWidth(const std::string& text, size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  return c >= 0x80 && IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, '\\').append(name);
  return path;
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;  // where the name being read starts
  for (size_t i = 0; i < path.size();) {
    const size_t width = CharacterWidth(path, i);
    if (width == 1 && IsPathSeparator(path[i])) {
      if (i > start) parts.emplace_back(path, start, i - start);
      start = i + 1;
    }
    i += width;
  }
  if (path.size() > start) parts.emplace_back(path, start, path.size() - start);
  return parts;
}

std::string LastPathComponent(const std::string& path) {
  // Without double-byte characters every separator byte is one: the name is found from the end.
  if (!CodePageHasLeadBytes()) {
    size_t end = path.size();
    while (end > 0 && IsPathSeparator(path[end - 1])) --end;
    size_t start = end;
    while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
    return path.substr(start, end - start);
  }
  size_t begin = 0;  // where the name being read starts
  size_t last = 0;   // the last non-empty name: its start and length
  size_t lastLength = 0;
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    // No lead byte is ASCII: only a byte above it may start a double-byte character.
    const size_t width = c < 0x80 ? 1 : CharacterWidth(path, i);
    if (c == '\\' || c == '/') {
      begin = i + 1;
    } else {
      last = begin;
      lastLength = i + width - begin;
    }
    i += width;
  }
  return path.substr(last, lastLength);
}

std::string ComparablePath(const std::string& path, TrailingSeparator trailing) {
  // Each ASCII byte as it is compared: upper case, either separator as a backslash.
  static const std::array<char, 0x80> kFolded = [] {
    std::array<char, 0x80> folded{};
    for (size_t c = 0; c < folded.size(); ++c)
      folded[c] = IsPathSeparator(static_cast<char>(c)) ? '\\' : AsciiUpper(static_cast<char>(c));
    return folded;
  }();
  // Written through a pointer into room for the whole path: the result is never longer, and this
  // runs for every path the check before a run and the install record compare.
  std::string unified(path.size(), '\0');
  char* out = unified.data();
  bool afterSeparator = false;
  bool ascii = true;  // ASCII folds to ASCII in every code page: it is folded here
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    // No lead byte is ASCII: only a byte above it may start a double-byte character.
    if (c >= 0x80) {
      const size_t width = CharacterWidth(path, i);
      for (size_t k = 0; k < width; ++k) *out++ = path[i + k];
      afterSeparator = false;
      ascii = false;
      i += width;
      continue;
    }
    const char folded = kFolded[c];
    const bool separator = folded == '\\';
    if (!separator || !afterSeparator) *out++ = folded;
    afterSeparator = separator;
    ++i;
  }
  unified.resize(static_cast<size_t>(out - unified.data()));
  if (trailing == TrailingSeparator::kDrop && afterSeparator && unified.size() > 1)
    unified.pop_back();
  if (!ascii) return UpperCase(unified);
  return unified;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> SplitOn(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  const std::string separatorSet = separators;
  size_t start = 0;
  while (start < text.size()) {
    // One separator is looked for as a character: find_first_of would ask the set of each byte.
    size_t end = separatorSet.size() == 1 ? text.find(separatorSet[0], start)
                                          : text.find_first_of(separatorSet, start);
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
