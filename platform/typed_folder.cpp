#include "platform/typed_folder.h"

#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

// True for the bytes of control characters (line breaks, tabs, ...). No trail byte of a
// double-byte code page is one.
bool IsControlByte(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// `path` with "\" for each separator and none at its end; a drive's root keeps its own ("C:\")
// and a path of separators only keeps one. A double-byte character's trail byte is never taken
// for a separator.
std::string WithWindowsSeparators(const std::string& path) {
  std::string unified;
  size_t end = 0;  // just past the last character that is not a separator
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const size_t width = c >= 0x80 && IsLeadByte(c) && i + 1 < path.size() ? 2 : 1;
    if (width == 1 && IsPathSeparator(path[i])) {
      unified += '\\';
    } else {
      unified.append(path, i, width);
      end = unified.size();
    }
    i += width;
  }
  const bool driveRoot = end == 2 && unified[1] == ':';
  if (end < unified.size() && (end == 0 || driveRoot)) ++end;
  unified.resize(end);
  return unified;
}

}  // namespace

KeptFolder WindowsFolderPath(const std::string& typed) {
  for (char c : typed) {
    if (!IsControlByte(c)) continue;
    return {"", std::string("the folder's name holds ") +
                    (c == '\n' || c == '\r' ? "a line break" : "a control character") +
                    ", which no line of OVPATCH.INI or TITLE.OV can keep"};
  }
  KeptFolder kept = HostWindowsFolderPath(typed);
  if (kept.refusal.empty()) kept.path = WithWindowsSeparators(kept.path);
  return kept;
}

}  // namespace platform
