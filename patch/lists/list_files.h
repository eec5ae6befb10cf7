#pragma once
// The patch list files (CREATE.OV, REN.OV, REM.OV, BAK.OV, INST.OV): the line loop, fixed-width
// columns, product-relative paths and the check that a name stays inside its folder.
#include <functional>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// Where the three values of a column-layout line start.
inline constexpr int kFirstColumn = 0;
inline constexpr int kSecondColumn = 80;
inline constexpr int kThirdColumn = 160;

// Word layout: a record is the line's text up to its first space. Column layout: values stand in
// 80-character columns starting at kFirstColumn, kSecondColumn and kThirdColumn.
enum class ListLayout { Word, Column };

// Runs the line loop over the list file `fileName` in the current folder and calls `onRecord` once
// per record: the line as read (it may still end with "\n") for the column layout, the word for the
// word layout, with its line number in the file (from 1; the pieces of an overlong line share
// one). A UTF-8 byte-order mark at the start of the file is skipped. A file that cannot be opened
// yields no records.
void ForEachListRecord(
    const std::string& fileName, ListLayout layout,
    const std::function<void(const std::string& record, int lineNumber)>& onRecord);

// Removes a UTF-8 byte-order mark (EF BB BF), as editors such as Notepad write it, from the start
// of `firstLine`, the first text read from a list file; anything else is left as it is.
void DropByteOrderMark(std::string& firstLine);

// The value of the column starting at `position` (one of the three above): at most 79 characters,
// trailing spaces removed, empty when the line ends before the column.
std::string ExtractColumn(const std::string& line, int position);

// A REN.OV value as a full path: "PATH\rest" lies in the product folder, anything else in the
// FS2004 folder.
std::string ResolvePatchPath(const PatchContext& context, const std::string& field);

// The part of a REN.OV value that is relative to its folder: "rest" for "PATH\rest" (the product
// folder), "" for "PATH" alone, the whole value otherwise (the FS2004 folder).
std::string RelativePatchPath(const std::string& field);

// True when `value`, a name from a list file, names something strictly inside the folder it is
// relative to, whatever form that folder is written in: it is not absolute (no leading
// separator), holds no drive letter or other ":", never climbs above its start with ".." (a
// component of dots and spaces alone counts as "..") and does not end at its start. "\" and "/"
// both separate.
bool ListValueStaysInside(const std::string& value);

// ListValueStaysInside(value), and when it fails a "Warning" that names the list file, the line
// and `path`, the value joined to its folder: the caller then skips the record.
bool NameStaysInside(PatchView& view, const std::string& listFile, int lineNumber,
                     const std::string& value, const std::string& path);
