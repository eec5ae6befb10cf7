#pragma once
// Lines of the patch list files as fixtures write them.
#include <initializer_list>
#include <string>

namespace testsupport {

// One column-layout line without its line end: each value padded with spaces to its 80-character
// column.
std::string ColumnLine(std::initializer_list<std::string> values);

}  // namespace testsupport
