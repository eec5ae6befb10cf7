#pragma once
// A message box as plain text that a script can read back.
#include <string>

// "CAPTION: text"; each line break inside the text starts a new line indented by two spaces. No
// line break at the end.
std::string MessageLines(const std::string& caption, const std::string& text);
