#include "patch/lists/list_lint.h"

#include <cstdio>
#include <vector>

#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/stream_io.h"

namespace {

constexpr size_t kKeptCharacters = 1024;  // of a longer line only its start is looked at

// Where a line ends the list, as the line loop reads it.
enum class ListEnd { None, AtLine, InsideLine };

// One line of the file as written, however long: its first characters and its length, as the
// line loop reads them (the file's first line without its byte-order mark).
struct PhysicalLine {
  std::string text;  // without the line break, at most kKeptCharacters
  size_t length = 0;  // characters read, a byte-order mark included
  ListEnd end = ListEnd::None;
};

bool ReadPhysicalLine(FILE* stream, ListLayout layout, bool firstOfFile, PhysicalLine& line) {
  line = PhysicalLine{};
  std::string piece;
  bool any = false;
  while (platform::ReadLine(stream, kListReadLimit, piece)) {
    // The mark takes room in the first read, so it counts towards the length that splits a line.
    const size_t read = piece.size();
    if (firstOfFile && !any) DropByteOrderMark(piece);
    line.length += read - piece.size();
    if (line.end == ListEnd::None && EndsList(piece, layout))
      line.end = any ? ListEnd::InsideLine : ListEnd::AtLine;
    any = true;
    const bool ends = !piece.empty() && piece.back() == '\n';
    if (ends) piece.pop_back();
    line.length += piece.size();
    if (line.text.size() < kKeptCharacters)
      line.text += piece.substr(0, kKeptCharacters - line.text.size());
    if (ends) break;
  }
  return any;
}

bool Blank(const std::string& text, size_t from, size_t to) {
  for (size_t i = from; i < to && i < text.size(); ++i)
    if (text[i] != ' ') return false;
  return true;
}

// The columns as the reader takes them: from the text before the line's first NUL byte.
void CheckColumns(const ListFile& file, const PhysicalLine& line, std::vector<std::string>& found) {
  const std::string text = line.text.substr(0, line.text.find('\0'));
  size_t last = 0;
  for (const ListColumn& listColumn : file.columns) {
    const size_t column = static_cast<size_t>(listColumn.position);
    last = column;
    if (text.size() <= column || Blank(text, column, column + kColumnValueWidth)) {
      found.push_back("no value in the column at position " + std::to_string(column));
      continue;
    }
    if (column > 0 && text[column - 1] != ' ')
      found.push_back("text at position " + std::to_string(column - 1) +
                      ", the gap before the column at " + std::to_string(column) +
                      ": the value before it is too long or shifted");
    if (text[column] == ' ') {
      size_t start = column;
      while (text[start] == ' ') ++start;
      found.push_back("the value of the column at position " + std::to_string(column) +
                      " starts at position " + std::to_string(start) +
                      ": its leading spaces become part of the name");
    }
  }
  const size_t end = last + kColumnValueWidth;
  if (!Blank(text, end, text.size()))
    found.push_back("text after position " + std::to_string(end - 1) +
                    ", past the last column, is ignored");
}

std::vector<std::string> CheckLine(const ListFile& file, const PhysicalLine& line) {
  std::vector<std::string> found;
  const std::string& text = line.text;
  if (line.length > kLongestListRead)
    found.push_back(std::to_string(line.length) +
                    " characters long: it is read as several records of at most " +
                    std::to_string(kLongestListRead) + " characters");
  if (const size_t nul = text.find('\0'); nul != std::string::npos)
    found.push_back("a NUL byte at position " + std::to_string(nul) + ": the text ends there");
  if (const size_t tab = text.find('\t'); tab != std::string::npos)
    found.push_back("a tab character at position " + std::to_string(tab));
  if (file.layout == ListLayout::Column) CheckColumns(file, line, found);
  return found;
}

void LintFile(platform::Disk& disk, const ListFile& file, std::vector<ListRemark>& remarks) {
  const platform::UniqueStream owned(disk.OpenToRead(file.name, false));
  if (!owned) return;
  FILE* stream = owned.get();
  PhysicalLine line;
  int number = 0;
  int endLine = 0;  // the line that ended the list, 0 while it goes on
  std::string endReason;
  while (ReadPhysicalLine(stream, file.layout, number == 0, line)) {
    ++number;
    if (endLine != 0) {
      if (!Blank(line.text, 0, line.text.size())) {
        remarks.push_back(
            {file.name, number,
             "never read: the list ends at line " + std::to_string(endLine) + endReason});
        break;
      }
      continue;
    }
    if (line.end == ListEnd::AtLine) {
      endLine = number;
      endReason = file.layout == ListLayout::Column
                      ? " (an empty line or one that begins with a space)"
                      : " (an empty line or one that begins with a space or a NUL byte)";
      continue;
    }
    for (std::string& text : CheckLine(file, line))
      remarks.push_back({file.name, number, std::move(text)});
    if (line.end == ListEnd::InsideLine) {
      remarks.push_back({file.name, number,
                         "the list ends inside this line: a read of " +
                             std::to_string(kLongestListRead) +
                             " characters stops before a space or the line break"});
      endLine = number;
    }
  }
}

}  // namespace

std::vector<ListRemark> LintListFiles(platform::Disk& disk) {
  std::vector<ListRemark> remarks;
  for (const ListFile* file : kRecordListFiles) LintFile(disk, *file, remarks);
  return remarks;
}

std::string ListRemarkLine(const ListRemark& remark) {
  return remark.file + " line " + std::to_string(remark.line) + ": " + remark.text;
}
