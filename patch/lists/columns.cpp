#include "patch/lists/list_files.h"

namespace {

constexpr int kColumnValueWidth = 79;
// The reader's working buffer holds 511 characters and a terminating zero.
constexpr size_t kColumnWorkLimit = 511;

}  // namespace

std::string ExtractColumn(const std::string& line, int position) {
  // The line's text ends at its first line break (or zero byte).
  std::string text = line.substr(0, line.find_first_of(std::string("\n\0", 2)));
  if (text.size() > kColumnWorkLimit) text.resize(kColumnWorkLimit);
  // A column that starts after the end of its line is empty.
  if (position < 0 || static_cast<size_t>(position) >= text.size()) return "";
  std::string value = text.substr(static_cast<size_t>(position), kColumnValueWidth);
  size_t last = value.find_last_not_of(' ');
  value.resize(last == std::string::npos ? 0 : last + 1);
  return value;
}
