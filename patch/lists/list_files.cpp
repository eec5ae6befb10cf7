#include "patch/lists/list_files.h"

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
    platform::Disk& disk, const std::string& fileName, ListLayout layout,
    const std::function<void(const std::string& record, int lineNumber)>& onRecord) {
  platform::UniqueStream stream(disk.OpenToRead(fileName, false));
  if (!stream) return;
  std::string line;
  int lineNumber = 1;
  for (bool first = true; platform::ReadLine(stream.get(), kListLineBufferSize, line);
       first = false) {
    if (first) DropByteOrderMark(line);
    if (EndsList(line, layout)) break;
    onRecord(layout == ListLayout::Column ? line : WordOf(line), lineNumber);
    if (!line.empty() && line.back() == '\n') ++lineNumber;
  }
}

bool EndsList(const std::string& piece, ListLayout layout) {
  if (layout == ListLayout::Word) return WordOf(piece).empty();
  return piece.empty() || piece[0] == '\n' || piece[0] == ' ';
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
  if (value.empty() || platform::IsPathSeparator(value[0])) return false;
  int depth = 0;  // folders below the one the value is relative to
  for (const std::string& component : platform::SplitPath(value)) {
    if (component.find(':') != std::string::npos) return false;  // drive letter or stream name
    if (ClimbsUp(component)) {
      if (--depth < 0) return false;
    } else if (component != ".") {
      ++depth;
    }
  }
  return depth > 0;
}

namespace {

// What a column holds and which folder it is relative to.
enum class NameKind { Folder, Rename, FsScenery, PatchScenery };

ListName MakeName(const PatchContext& context, NameKind kind, const std::string& value) {
  ListName name;
  name.value = value;
  switch (kind) {
    case NameKind::Folder:
      name.folder = context.m_strFsPath;
      name.path = platform::JoinPath(name.folder, value);
      name.inside = ListValueStaysInside(value);
      break;
    case NameKind::Rename:
      if (value.empty()) return name;
      name.folder = IsProductRelative(value) ? context.m_strProductPath : context.m_strFsPath;
      name.path = ResolvePatchPath(context, value);
      name.inside = ListValueStaysInside(RelativePatchPath(value));
      break;
    case NameKind::FsScenery:
    case NameKind::PatchScenery:
      name.folder = kind == NameKind::FsScenery ? context.m_strFsPath : context.m_strAppDir;
      name.path = platform::JoinPath(name.folder, value);
      name.inside = ListValueStaysInside(value + ".BGL");
      break;
  }
  return name;
}

std::vector<ListRecord> ReadRecords(platform::Disk& disk, const PatchContext& context,
                                    const char* listFile, ListLayout layout,
                                    std::initializer_list<NameKind> kinds) {
  std::vector<ListRecord> records;
  ForEachListRecord(disk, listFile, layout, [&](const std::string& line, int lineNumber) {
    ListRecord record{listFile, lineNumber, {}};
    int column = kFirstColumn;
    for (NameKind kind : kinds) {
      record.names.push_back(
          MakeName(context, kind, layout == ListLayout::Word ? line : ExtractColumn(line, column)));
      column += kSecondColumn - kFirstColumn;
    }
    records.push_back(std::move(record));
  });
  return records;
}

}  // namespace

PatchLists ReadPatchLists(const PatchContext& context, platform::Disk& disk) {
  using enum NameKind;
  PatchLists lists;
  lists.create = ReadRecords(disk, context, "CREATE.OV", ListLayout::Word, {Folder});
  lists.rename = ReadRecords(disk, context, "REN.OV", ListLayout::Column, {Rename, Rename});
  lists.remove = ReadRecords(disk, context, "REM.OV", ListLayout::Column, {FsScenery});
  lists.backup = ReadRecords(disk, context, "BAK.OV", ListLayout::Column, {FsScenery, PatchScenery});
  lists.install =
      ReadRecords(disk, context, "INST.OV", ListLayout::Column, {FsScenery, PatchScenery, FsScenery});
  return lists;
}
