#include "patch/audit/message_text.h"

std::string MessageLines(const std::string& caption, const std::string& text) {
  std::string lines = caption + ": ";
  for (char c : text) {
    lines += c;
    if (c == '\n') lines += "  ";
  }
  return lines;
}
