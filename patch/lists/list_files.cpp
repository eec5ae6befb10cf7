#include "patch/lists/list_files.h"

#include <algorithm>

#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

// The word of a CREATE.OV line: its text up to the first line break or space (or a zero byte,
// where the text of a C string ends).
std::string WordOf(const std::string& line) {
  const auto end = std::find_if(line.begin(), line.end(),
                                [](char c) { return c == '\n' || c == ' ' || c == '\0'; });
  return std::string(line.begin(), end);
}

// "..", and names Windows trims to it or to nothing ("...", ". .", "  "): all are taken as
// climbing.
bool ClimbsUp(const std::string& component) {
  return !component.empty() && component != "." &&
         component.find_first_not_of(". ") == std::string::npos;
}

// A REN.OV value that starts with kProductPrefix is relative to the product folder.
bool IsProductRelative(const std::string& field) { return field.starts_with(kProductPrefix); }

}  // namespace

void ForEachListRecord(
    platform::Disk& disk, const std::string& fileName, ListLayout layout,
    const std::function<void(const std::string& record, int lineNumber)>& onRecord) {
  platform::UniqueStream stream(disk.OpenToRead(fileName, false));
  if (!stream) return;
  std::string line;
  int lineNumber = 1;
  for (bool first = true; platform::ReadLine(stream.get(), kListReadLimit, line); first = false) {
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
  // The line's text ends at its first line break (or zero byte), and within the reader's buffer.
  const size_t textEnd = std::min({line.find('\n'), line.find('\0'), line.size(),
                                   static_cast<size_t>(kListReadLimit)});
  // A column that starts after the end of its line is empty.
  if (position < 0 || static_cast<size_t>(position) >= textEnd) return "";
  const size_t start = static_cast<size_t>(position);
  size_t end = std::min(textEnd, start + kColumnValueWidth);
  while (end > start && line[end - 1] == ' ') --end;
  return line.substr(start, end - start);
}

std::string ResolvePatchPath(const PatchContext& context, const std::string& field) {
  // "PATH" and one separator character are replaced by the product folder, which ends with a
  // backslash; "PATH" alone names that folder itself.
  if (IsProductRelative(field)) return context.m_strProductPath + RelativePatchPath(field);
  return platform::JoinPath(context.m_strFsPath, field);
}

std::string RelativePatchPath(const std::string& field) {
  if (!IsProductRelative(field)) return field;
  // The prefix and the separator after it.
  const size_t start = std::char_traits<char>::length(kProductPrefix) + 1;
  return field.size() <= start ? std::string() : field.substr(start);
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

ListName RenameListName(const PatchContext& context, const std::string& value) {
  ListName name;
  name.value = value;
  if (value.empty()) return name;
  name.folder = IsProductRelative(value) ? context.m_strProductPath : context.m_strFsPath;
  name.path = ResolvePatchPath(context, value);
  name.inside = ListValueStaysInside(RelativePatchPath(value));
  return name;
}

namespace {

ListName MakeName(const PatchContext& context, const ListColumn& column, const std::string& value) {
  if (column.folder == ListFolder::ProductOrFs2004) return RenameListName(context, value);
  ListName name;
  name.value = value;
  name.folder = column.folder == ListFolder::Patch ? context.m_strAppDir : context.m_strFsPath;
  name.path = platform::JoinPath(name.folder, value);
  // A scenery name is judged as the steps use it, with an extension.
  name.inside =
      ListValueStaysInside(column.extension == ListExtension::AsWritten ? value : value + ".BGL");
  return name;
}

std::vector<ListRecord> ReadRecords(platform::Disk& disk, const PatchContext& context,
                                    const ListFile& file) {
  std::vector<ListRecord> records;
  ForEachListRecord(disk, file.name, file.layout, [&](const std::string& line, int lineNumber) {
    ListRecord record{file.name, lineNumber, {}};
    for (const ListColumn& column : file.columns)
      record.names.push_back(
          MakeName(context, column,
                   file.layout == ListLayout::Word ? line : ExtractColumn(line, column.position)));
    records.push_back(std::move(record));
  });
  return records;
}

}  // namespace

PatchLists ReadPatchLists(const PatchContext& context, platform::Disk& disk) {
  PatchLists lists;
  lists.create = ReadRecords(disk, context, kCreateListFile);
  lists.rename = ReadRecords(disk, context, kRenameListFile);
  lists.remove = ReadRecords(disk, context, kRemoveListFile);
  lists.backup = ReadRecords(disk, context, kBackupListFile);
  lists.install = ReadRecords(disk, context, kInstallListFile);
  return lists;
}
