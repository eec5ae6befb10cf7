#pragma once
// A patch of a real add-on's size on a copy of demo/: BAK.OV and INST.OV with 2000 records each
// (64 KiB files) into a scenery folder that holds `folderFiles` files in all.
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

constexpr int kPatchedFiles = 2000;
constexpr size_t kPatchedFileSize = 64 * 1024;

// The product's scenery folder inside the FS2004 folder, as spelled on disk.
constexpr const char kProductSceneryFolder[] = "Addon Scenery/QuillbyBay/scenery";

// The name of patched file `index` without its extension ("QB_T0042"): the scenery folder holds
// it as NAME.bgl, or as NAME.XXX when PatchedFileDisabled; the patch folder holds its replacement
// NAME.BGL and, after an apply, its backup NAME_ORIG.BGL.
inline std::string PatchedFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "QB_T%04d", index);
  return name;
}
inline bool PatchedFileDisabled(int index) { return index % 10 == 9; }

// Host paths of one patched file, for copies made without the program.
struct PatchedFile {
  std::string simulatorFile;  // the file in the scenery folder, as stored (".bgl" or ".XXX")
  std::string replacement;    // the replacement file in the patch folder
  std::string backup;         // where the program puts its backup
};

struct LargePatch {
  std::string fsFolder;     // the FS2004 folder (host path)
  std::string patchFolder;  // list files, replacements, backups, OVPATCH.INI
  std::vector<PatchedFile> files;
};

// Copies demo/ into `root` (FS2004/ and patch/) and grows it: the product's scenery folder gets
// `patchedFiles` patched files (one in ten disabled, all with lower-case ".bgl" on disk; the lists
// name them in other letter case) and small other files up to `folderFiles`; BAK.OV and INST.OV
// list every patched file after the demo's own records. OVPATCH.INI names the FS2004 folder.
LargePatch MakeLargePatch(const std::string& root, int folderFiles,
                          int patchedFiles = kPatchedFiles);

// The bytes of patched file `index` before the patch (`replacement` false) or its replacement.
std::string PatchedBytes(int index, bool replacement);

}  // namespace bench
