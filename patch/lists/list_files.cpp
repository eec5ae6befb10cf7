#include "patch/lists/list_files.h"

#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/strings.h"

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

}  // namespace

void ForEachListRecord(const std::string& fileName, ListLayout layout,
                       const std::function<void(const std::string& record)>& onRecord) {
  platform::UniqueStream stream(platform::OpenStream(fileName, "r"));
  if (!stream) return;
  std::string line;
  while (platform::ReadLine(stream.get(), kListLineBufferSize, line)) {
    if (layout == ListLayout::Column) {
      // An empty line or one that begins with a space ends the list.
      if (line.empty() || line[0] == '\n' || line[0] == ' ') break;
      onRecord(line);
    } else {
      std::string word = WordOf(line);
      if (word.empty()) break;
      onRecord(word);
    }
  }
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
  if (field.compare(0, 4, "PATH") == 0) {
    // "PATH" and one separator character are replaced by the product folder, which ends with a
    // backslash; "PATH" alone names that folder itself.
    if (field.size() <= 5) return context.m_strProductPath;
    return context.m_strProductPath + field.substr(5);
  }
  return platform::JoinPath(context.m_strFsPath, field);
}
