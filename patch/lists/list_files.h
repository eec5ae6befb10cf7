#pragma once
// The patch list files (CREATE.OV, REN.OV, REM.OV, BAK.OV, INST.OV): the line loop, fixed-width
// columns, product-relative paths and the check that a name stays inside its folder.
#include <functional>
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/lists/list_catalogue.h"
#include "platform/file_layers/disk_interface.h"

// Runs the line loop over the list file `fileName` in the current folder, read through `disk`, and
// calls `onRecord` once per record (`layout` Word or Column): the line as read (it may still end
// with "\n") for the column layout, the word for the word layout, with its line number in the file
// (from 1; the pieces of an overlong line share one). A UTF-8 byte-order mark at the start of the
// file is skipped. A file that cannot be opened yields no records.
void ForEachListRecord(
    platform::Disk& disk, const std::string& fileName, ListLayout layout,
    const std::function<void(const std::string& record, int lineNumber)>& onRecord);

// True when `piece`, one read of the line loop (the file's first without its byte-order mark),
// ends the list: for the column layout it begins with a line break or a space; for the word layout
// its word is empty (it begins with a line break, a space or a NUL byte).
bool EndsList(const std::string& piece, ListLayout layout);

// Removes a UTF-8 byte-order mark (EF BB BF), as editors such as Notepad write it, from the start
// of `firstLine`, the first text read from a list file; anything else is left as it is.
void DropByteOrderMark(std::string& firstLine);

// The value of the column starting at `position` (kFirstColumn, kSecondColumn or kThirdColumn):
// at most kColumnValueWidth characters, trailing spaces removed, empty when the line ends before
// the column.
std::string ExtractColumn(const std::string& line, int position);

// A REN.OV value as a full path: a value whose first four characters are kProductPrefix lies in
// the product folder (its fifth character, normally a separator, dropped: the product path ends
// with one), anything else in the FS2004 folder.
std::string ResolvePatchPath(const PatchContext& context, const std::string& field);

// The part of a REN.OV value that is relative to its folder: from the sixth character on for a
// value starting with kProductPrefix (the product folder), "" for the prefix alone, the whole value
// otherwise (the FS2004 folder).
std::string RelativePatchPath(const std::string& field);

// True when `value`, a name from a list file, names something strictly inside the folder it is
// relative to, whatever form that folder is written in: it is not absolute (no leading
// separator), holds no drive letter or other ":", never climbs above its start with ".." (a
// component of dots and spaces alone counts as "..") and does not end at its start. "\" and "/"
// both separate.
bool ListValueStaysInside(const std::string& value);

// One name of a list record: the value as written in its column (CREATE.OV: the word), the full
// path it names (FS2004 scenery names and patch-folder names without their extension), the folder
// it is relative to, and whether it stays inside that folder. An empty REN.OV value names nothing
// (path "") and counts as inside.
struct ListName {
  std::string value;
  std::string path;
  std::string folder;
  bool inside = true;
};

// A REN.OV value, from a list line or the install record, as a ListName: relative to the product
// folder when it starts with kProductPrefix, else to the FS2004 folder; its path by
// ResolvePatchPath, containment by ListValueStaysInside on RelativePatchPath.
ListName RenameListName(const PatchContext& context, const std::string& value);

// One record of a list file, read once per operation: its file, its line, and one name per column
// the list uses, in column order (CREATE.OV 1, REN.OV 2, REM.OV 1, BAK.OV 2, INST.OV 3).
struct ListRecord {
  std::string listFile;
  int lineNumber = 0;
  std::vector<ListName> names;
};

// The five list files of the current folder (kRecordListFiles) as records, in file order; a
// missing file has none. Each column's name is relative to the folder the catalogue gives it;
// containment is ListValueStaysInside on the value relative to its folder, scenery names judged
// with their ".BGL" extension, as the steps use them.
struct PatchLists {
  std::vector<ListRecord> create, rename, remove, backup, install;
};
PatchLists ReadPatchLists(const PatchContext& context, platform::Disk& disk);

