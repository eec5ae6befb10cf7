#include "support/list_lines.h"

namespace testsupport {

std::string ColumnLine(std::initializer_list<std::string> values) {
  constexpr size_t kColumnWidth = 80;
  std::string line;
  for (const std::string& value : values) {
    std::string column = value;
    column.resize(kColumnWidth, ' ');
    line += column;
  }
  return line;
}

}  // namespace testsupport
