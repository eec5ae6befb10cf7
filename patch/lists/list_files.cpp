#include "patch/lists/list_files.h"

#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

// The reader's line buffer: 511 characters and a terminating zero. Each read takes at most 510
// characters; a longer line arrives in pieces, each a line of its own.
constexpr int kListLineBufferSize = 511;
constexpr int kColumnValueWidth = 79;

// The word of a CREATE.OV line: its text up to the first line break or space (or a zero byte,
// where the text of a C string ends).
std::string WordOf(const std::string& line) {
  size_t end = line.find_first_of(std::string("\n \0", 3));
  return end == std::string::npos ? line : line.substr(0, end);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "..", and names Windows trims to it or to nothing ("...", ". .", "  "): all are taken as
// climbing.
bool ClimbsUp(const std::string& component) {
  return !component.empty() && component != "." &&
         component.find_first_not_of(". ") == std::string::npos;
}

// A REN.OV value that starts with "PATH" is relative to the product folder.
bool IsProductRelative(const std::string& field) { return field.compare(0, 4, "PATH") == 0; }

}  // namespace

void ForEachListRecord(
    const std::string& fileName, ListLayout layout,
    const std::function<void(const std::string& record, int lineNumber)>& onRecord) {
  platform::UniqueStream stream(platform::OpenStream(fileName, "r"));
  if (!stream) return;
  std::string line;
  int lineNumber = 1;
  for (bool first = true; platform::ReadLine(stream.get(), kListLineBufferSize, line);
       first = false) {
    if (first) DropByteOrderMark(line);
    if (layout == ListLayout::Column) {
      // An empty line or one that begins with a space ends the list.
      if (line.empty() || line[0] == '\n' || line[0] == ' ') break;
      onRecord(line, lineNumber);
    } else {
      std::string word = WordOf(line);
      if (word.empty()) break;
      onRecord(word, lineNumber);
    }
    if (!line.empty() && line.back() == '\n') ++lineNumber;
  }
}

void DropByteOrderMark(std::string& firstLine) {
  static const std::string kMark = "\xEF\xBB\xBF";
  if (firstLine.compare(0, kMark.size(), kMark) == 0) firstLine.erase(0, kMark.size());
}

std::string ExtractColumn(const std::string& line, int position) {
  // The line's text ends at its first line break (or zero byte).
  std::string text = line.substr(0, line.find_first_of(std::string("\n\0", 2)));
  if (text.size() > static_cast<size_t>(kListLineBufferSize)) text.resize(kListLineBufferSize);
  // A column that starts after the end of its line is empty.
  if (position < 0 || static_cast<size_t>(position) >= text.size()) return "";
  std::string value = text.substr(static_cast<size_t>(position), kColumnValueWidth);
  size_t last = value.find_last_not_of(' ');
  value.resize(last == std::string::npos ? 0 : last + 1);
  return value;
}

std::string ResolvePatchPath(const PatchContext& context, const std::string& field) {
  // "PATH" and one separator character are replaced by the product folder, which ends with a
  // backslash; "PATH" alone names that folder itself.
  if (IsProductRelative(field)) return context.m_strProductPath + RelativePatchPath(field);
  return platform::JoinPath(context.m_strFsPath, field);
}

std::string RelativePatchPath(const std::string& field) {
  if (!IsProductRelative(field)) return field;
  return field.size() <= 5 ? std::string() : field.substr(5);
}

bool ListValueStaysInside(const std::string& value) {
  if (value.empty() || IsSeparator(value[0])) return false;
  int depth = 0;
  std::string component;
  for (size_t i = 0;; ++i) {
    if (i == value.size() || IsSeparator(value[i])) {
      if (component.find(':') != std::string::npos) return false;  // drive letter or stream name
      if (ClimbsUp(component)) {
        if (--depth < 0) return false;
      } else if (!component.empty() && component != ".") {
        ++depth;
      }
      component.clear();
      if (i == value.size()) break;
      continue;
    }
    // A double-byte character's trail byte may look like a separator; keep the pair together.
    if (platform::IsLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size())
      component += value[i++];
    component += value[i];
  }
  return depth > 0;
}

bool NameStaysInside(PatchView& view, const std::string& listFile, int lineNumber,
                     const std::string& value, const std::string& path) {
  if (ListValueStaysInside(value)) return true;
  view.ShowStopMessage("Line " + std::to_string(lineNumber) + " of " + listFile +
                           " names a file outside the folder it belongs in:\n\n" + path +
                           "\n\nThe line has been skipped.",
                       "Warning");
  return false;
}
