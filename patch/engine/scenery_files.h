#pragma once
// What the install and removal steps share: the two forms of an FS2004 scenery file (NAME.BGL
// active, NAME.XXX disabled), the numbered copies of BAK.OV and INST.OV, and REN.OV's renames.
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// "name.extension": a scenery file named by a list, relative to its folder.
std::string SceneryFileName(const std::string& name, const std::string& extension);

// "folder\name.extension".
std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension);

// NameStaysInside for the scenery file SceneryFileName(name, extension), relative to `folder`;
// the warning shows it as ScenerySubPath.
bool SceneryNameStaysInside(PatchView& view, const std::string& listFile, int lineNumber,
                            const std::string& folder, const std::string& name,
                            const std::string& extension);

// The form the FS2004 file `name` under `fsPath` has now: "XXX" when the disabled form exists (also
// when both do), otherwise "BGL" when the active form exists, nullopt when neither does.
std::optional<std::string> CurrentSceneryForm(const std::string& fsPath, const std::string& name);

// One file copy of a list record.
struct PlannedCopy {
  std::string source;
  std::string destination;
};
// What to copy for one record: its line and line number, the name in its first column and that
// FS2004 file's current form; nullopt to skip the record.
using CopyPlanner = std::function<std::optional<PlannedCopy>(
    const std::string& line, int lineNumber, const std::string& name, const std::string& form)>;

// Runs the column list `listFile`: every record whose first-column FS2004 file stays inside the
// FS2004 folder (a "Warning" otherwise), exists in some form and that `plan` does not skip is
// copied with CopyPatchFile, after `progressFormat` (one "%d", numbered from 1) has been shown in
// the status line for a 50 ms pause.
void CopyListedSceneryFiles(PatchContext& context, PatchView& view, const char* listFile,
                            const char* progressFormat, const CopyPlanner& plan);

// One FS2004 file named by a list (its path without extension) and the patch-folder file paired
// with it: its backup (BAK.OV) or its replacement (INST.OV). The patch-folder path is empty when
// the record's name for it leaves the patch folder.
struct PairedFile {
  std::string fsFile;
  std::string patchFile;
};
// Paired files looked up by their FS2004 file (path without extension, compared as SameFileName);
// the first entry for a file wins. One look-up costs the same however long the list is.
class PairedFiles {
public:
  void Add(PairedFile file);
  const PairedFile* Find(const std::string& fsFile) const;

private:
  std::unordered_map<std::string, PairedFile> byName_;
};
// BAK.OV's FS2004 files with their backups, and INST.OV's destinations with their replacements.
// Records whose FS2004 name leaves the FS2004 folder are left out; nothing is shown.
PairedFiles ListedBackups(const PatchContext& context);
PairedFiles ListedReplacements(const PatchContext& context);

// Shows one "Warning": `lead`, the files one per line, then `tail`. Nothing when `files` is empty.
void WarnAboutFiles(PatchView& view, const std::string& lead, const std::vector<std::string>& files,
                    const std::string& tail);

// Runs REN.OV: each line's first name is moved to its second (forward) or back (RenameBack). A
// target that exists already wins: the source is deleted instead. Same names, missing names and
// sources that do not exist are left alone; a line with a name outside its folder is skipped with a
// "Warning".
enum class RenameDirection { Forward, Back };
void RenameListedFiles(const PatchContext& context, PatchView& view, RenameDirection direction);

// True when the two paths name the same file: equal after unifying the separators, merging
// repeated ones and upper-casing.
bool SameFileName(const std::string& a, const std::string& b);
