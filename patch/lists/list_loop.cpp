#include <cstdio>

#include "patch/lists/list_files.h"
#include "platform/files.h"

namespace {

// Each read takes at most 510 characters; a longer line arrives in pieces, each a line of its own.
constexpr int kListReadLimit = 511;

// The word of a CREATE.OV line: its text up to the first line break or space (or a zero byte,
// where the text of a C string ends).
std::string WordOf(const std::string& line) {
  size_t end = line.find_first_of(std::string("\n \0", 3));
  return end == std::string::npos ? line : line.substr(0, end);
}

}  // namespace

void ForEachListRecord(const std::string& fileName, ListLayout layout,
                       const std::function<void(const std::string& record)>& onRecord) {
  FILE* stream = platform::OpenStream(fileName, "r");
  if (!stream) return;
  std::string line;
  while (platform::ReadLine(stream, kListReadLimit, line)) {
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
  std::fclose(stream);
}
