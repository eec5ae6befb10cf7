#pragma once
// The spelling on disk of the paths the program uses, from one listing of each folder per file
// operation. Windows matches names without regard to letter case, but under Wine a name spelled
// otherwise than on disk makes every call read the whole folder again, which in a scenery folder
// of thousands of files costs more than the copy itself. Outside an operation nothing is kept
// and paths pass unchanged.
#include <string>

namespace platform::win32 {

struct DiskSpelling {
  std::string path;  // the path with each component the listings found spelled as on disk
  bool missing = false;  // the listing of its folder shows for certain that the last name is absent
};

// `path` spelled as on disk. With `keepLastName`, the last component stays as given (the target of
// a rename, which takes the name it is given).
DiskSpelling SpellAsOnDisk(const std::string& path, bool keepLastName = false);

// Opens or ends one operation (platform::FileOperationScope); they nest, and the listings are
// dropped when the outermost ends.
void BeginOperation();
void EndOperation();

// The program itself created or removed the file `path` (as it was passed to the system).
void NoteCreated(const std::string& path);
void NoteRemoved(const std::string& path);
// A folder was created or moved: every listing is read afresh.
void NoteFoldersChanged();

}  // namespace platform::win32
