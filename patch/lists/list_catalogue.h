#pragma once
// The seven list files of a patch: each file's name, how its lines hold a record, which folder
// each name is relative to and which extension it takes on the disk, and the limits of the line
// reads and the columns. The reader, the checks for authors and the patch maker all take them from
// here.
#include <cstddef>
#include <span>

// How a line holds its record.
// - Word: the line's text up to its first space; the rest of the line is a remark (CREATE.OV).
// - Column: values in fixed 80-character columns starting at kFirstColumn, kSecondColumn and
//   kThirdColumn (REN.OV, REM.OV, BAK.OV, INST.OV).
// - Line: the whole line is one value (TITLE.OV, PATH.OV; the product locator reads them).
enum class ListLayout { Word, Column, Line };

// The folder a list name is relative to.
enum class ListFolder {
  Fs2004,           // the FS2004 folder, m_strFsPath
  Patch,            // the patch folder beside the program, m_strAppDir
  ProductOrFs2004,  // REN.OV: the product folder for a value starting with kProductPrefix
};

// What a list name becomes on the disk.
enum class ListExtension {
  AsWritten,    // complete as written: CREATE.OV's folders, REN.OV's names
  SceneryForm,  // an FS2004 scenery file: ".BGL" or ".XXX" added, the form the file has
  Bgl,          // a backup or replacement file of the patch folder: ".BGL" added
};

// A line-loop read takes at most kLongestListRead characters (its limit counts the terminating
// zero); a longer line arrives in pieces, each a record of its own.
inline constexpr int kListReadLimit = 511;
inline constexpr size_t kLongestListRead = kListReadLimit - 1;

// A column is kColumnWidth characters: its value stands in the first kColumnValueWidth, padded
// with spaces, and the last character never belongs to a value.
inline constexpr size_t kColumnWidth = 80;
inline constexpr size_t kColumnValueWidth = kColumnWidth - 1;
inline constexpr int kFirstColumn = 0;
inline constexpr int kSecondColumn = kFirstColumn + static_cast<int>(kColumnWidth);
inline constexpr int kThirdColumn = kSecondColumn + static_cast<int>(kColumnWidth);

// A REN.OV value starting with these four characters lies in the product folder; the character
// after them, normally a separator, is dropped.
inline constexpr const char* kProductPrefix = "PATH";

// PATH.OV is read 253 characters at a time (its limit counts the terminating zero).
inline constexpr int kPathListReadLimit = 254;

// One name of a record: where its value starts in the line (0 for a word), the folder it is
// relative to and its extension rule.
struct ListColumn {
  int position;
  ListFolder folder;
  ListExtension extension;
};

// One list file: its bare name (opened in the current folder), its layout and the names of a
// record in column order (none for the Line layout).
struct ListFile {
  const char* name;
  ListLayout layout;
  std::span<const ListColumn> columns;
};

namespace list_columns {
using enum ListFolder;
using enum ListExtension;
inline constexpr ListColumn kCreate[] = {{kFirstColumn, Fs2004, AsWritten}};
inline constexpr ListColumn kRename[] = {{kFirstColumn, ProductOrFs2004, AsWritten},
                                         {kSecondColumn, ProductOrFs2004, AsWritten}};
inline constexpr ListColumn kRemove[] = {{kFirstColumn, Fs2004, SceneryForm}};
inline constexpr ListColumn kBackup[] = {{kFirstColumn, Fs2004, SceneryForm},
                                         {kSecondColumn, Patch, Bgl}};
// The first FS2004 file's present form decides the form the replacement is written in.
inline constexpr ListColumn kInstall[] = {{kFirstColumn, Fs2004, SceneryForm},
                                          {kSecondColumn, Patch, Bgl},
                                          {kThirdColumn, Fs2004, SceneryForm}};
}  // namespace list_columns

// TITLE.OV: the product's title, its check file and its remembered folder (or "NONE").
inline constexpr ListFile kTitleListFile{"TITLE.OV", ListLayout::Line, {}};
// PATH.OV: the folders, relative to the FS2004 folder, where the product is searched for.
inline constexpr ListFile kPathListFile{"PATH.OV", ListLayout::Line, {}};
// CREATE.OV: a folder to create.
inline constexpr ListFile kCreateListFile{"CREATE.OV", ListLayout::Word, list_columns::kCreate};
// REN.OV: a file or folder and the name it has while the patch is installed.
inline constexpr ListFile kRenameListFile{"REN.OV", ListLayout::Column, list_columns::kRename};
// REM.OV: a scenery file the removal deletes in both its forms.
inline constexpr ListFile kRemoveListFile{"REM.OV", ListLayout::Column, list_columns::kRemove};
// BAK.OV: an FS2004 scenery file and its backup.
inline constexpr ListFile kBackupListFile{"BAK.OV", ListLayout::Column, list_columns::kBackup};
// INST.OV: the FS2004 file whose form decides, the replacement, and where it goes.
inline constexpr ListFile kInstallListFile{"INST.OV", ListLayout::Column, list_columns::kInstall};

// The five lists the install and removal read record by record, in the order they are read.
inline constexpr const ListFile* kRecordListFiles[] = {
    &kCreateListFile, &kRenameListFile, &kRemoveListFile, &kBackupListFile, &kInstallListFile};

// All seven: the list files that make a folder a patch.
inline constexpr const char* kPatchListFileNames[] = {
    kTitleListFile.name,  kPathListFile.name,   kCreateListFile.name, kRenameListFile.name,
    kRemoveListFile.name, kBackupListFile.name, kInstallListFile.name};
