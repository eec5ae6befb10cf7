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

// `path` without the separators at its end; a drive's root keeps its own ("C:\") and a path of
// separators only keeps one. A double-byte character's trail byte is never taken for one.
std::string WithoutTrailingSeparators(const std::string& path) {
  size_t end = 0;  // just past the last character that is not a separator
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const size_t width = c >= 0x80 && IsLeadByte(c) && i + 1 < path.size() ? 2 : 1;
    if (width == 2 || !IsPathSeparator(path[i])) end = i + width;
    i += width;
  }
  if (end == path.size()) return path;
  const bool driveRoot = end == 2 && path[1] == ':';
  if (end == 0 || driveRoot) return path.substr(0, end + 1);
  return path.substr(0, end);
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
  if (kept.refusal.empty()) kept.path = WithoutTrailingSeparators(kept.path);
  return kept;
}

}  // namespace platform
