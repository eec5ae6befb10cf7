#include "patch/audit/patch_verify.h"

#include <utility>
#include <vector>

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_files.h"
#include "patch/engine/install_record.h"
#include "platform/file_layers/content_hash.h"
#include "platform/files.h"
#include "platform/held_files.h"
#include "platform/text.h"

namespace {

class Checker {
public:
  explicit Checker(PatchVerification& result) : result_(result) {}
  void Check(bool holds, const std::string& failure) {
    ++result_.checks;
    if (!holds) result_.failures.push_back(failure);
  }

private:
  PatchVerification& result_;
};

// The file `copy` equal to `original`.
void CheckCopy(platform::Disk& disk, Checker& checker, const std::string& copy,
               const std::string& original, const char* what, const char* ofWhat) {
  if (!disk.PathExists(copy)) {
    checker.Check(false, std::string(what) + " " + copy + " is missing");
    return;
  }
  if (!disk.PathExists(original)) {
    checker.Check(false, std::string(what) + " " + copy + " cannot be compared: its " + ofWhat +
                             " " + original + " is missing");
    return;
  }
  if (platform::SameFileBytes(disk, copy, original)) return checker.Check(true, "");
  // Bytes that could not be read are not said to differ.
  for (const std::string* held : {&copy, &original})
    if (platform::FileHeldByAnotherProgram(*held))
      return checker.Check(false, std::string(what) + " " + copy + " could not be read: " + *held +
                                      " is in use by another program");
  checker.Check(false, std::string(what) + " " + copy + " differs from its " + ofWhat + " " +
                           original);
}

// Expectations follow the records' results as the install and removal enter them: records with a
// name outside its folder, a missing name or the same name twice, and records whose file exists
// in neither form, are skipped or have nothing to do there, and are not checked either.
void CheckRenames(platform::Disk& disk, const PatchLists& lists, Checker& checker, bool installed) {
  for (const ListRecord& record : lists.rename) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    const std::string& original = record.names[0].path;
    const std::string& patched = record.names[1].path;
    if (original.empty() || patched.empty() || SameFileName(original, patched)) continue;
    // Neither name there: the rename had nothing to do (a file of another product version).
    if (!disk.PathExists(original) && !disk.PathExists(patched)) continue;
    const std::string& present = installed ? patched : original;
    const std::string& gone = installed ? original : patched;
    const char* state = installed ? "renamed" : "back";
    checker.Check(disk.PathExists(present),
                  std::string("not ") + state + ": " + present + " is missing");
    checker.Check(!disk.PathExists(gone),
                  std::string("not ") + state + ": " + gone + " is still there");
  }
}

void CheckInstalledFiles(platform::Disk& disk, const PatchLists& lists, Checker& checker) {
  // Records over one file install in list order: the last one is what the file holds.
  PairedFiles checked;
  std::vector<std::pair<std::string, std::string>> copies;  // installed file, its replacement
  for (auto record = lists.install.rbegin(); record != lists.install.rend(); ++record) {
    const ListName& fsFile = record->names[0];
    const ListName& replacement = record->names[1];
    const ListName& destination = record->names[2];
    if (!fsFile.inside || !replacement.inside || !destination.inside) continue;
    const auto form = CurrentSceneryForm(disk, fsFile.folder, fsFile.value);
    if (!form || !checked.Find(destination.path).empty()) continue;  // skipped, or overwritten
    checked.Add(destination.path, replacement.path);
    copies.emplace_back(ScenerySubPath(destination, *form), ScenerySubPath(replacement, "BGL"));
  }
  for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy)
    CheckCopy(disk, checker, copy->first, copy->second, "installed file", "replacement");
  for (const ListRecord& record : lists.backup) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    if (!CurrentSceneryForm(disk, record.names[0].folder, record.names[0].value)) continue;
    const std::string backup = ScenerySubPath(record.names[1], "BGL");
    checker.Check(disk.PathExists(backup), "backup " + backup + " is missing");
  }
}

void CheckExclusionArea(platform::Disk& disk, PatchContext& context, Checker& checker) {
  if (!disk.PathExists(kCreateListFile.name)) return;
  LoadSceneryAreas(context);
  const std::string wanted = platform::UpperCase(kExcludeAreaLocal);
  int count = 0;
  for (int n = 1; n <= kHighestAreaNumber; ++n)
    if (g_sceneryAreaTable[n].areaNumber != 0 &&
        platform::UpperCase(g_sceneryAreaTable[n].local) == wanted)
      ++count;
  checker.Check(count == 1, std::string("the exclusion area ") + kExcludeAreaLocal +
                                " is registered " + std::to_string(count) + " times in " +
                                context.m_strFsPath + "\\SCENERY.CFG, not once");
}

void CheckRemovedListFiles(platform::Disk& disk, const PatchLists& lists, Checker& checker) {
  for (const ListRecord& record : lists.remove) {
    if (!record.names[0].inside) continue;
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(record.names[0], extension);
      checker.Check(!disk.PathExists(path), "not removed: " + path + " is still there");
    }
  }
}

void CheckRemovedFiles(platform::Disk& disk, const PatchLists& lists, Checker& checker) {
  for (const ListRecord& record : lists.backup) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    const std::string backup = ScenerySubPath(record.names[1], "BGL");
    // Without a backup no install has replaced the file.
    if (!disk.PathExists(backup)) continue;
    const auto form = CurrentSceneryForm(disk, record.names[0].folder, record.names[0].value);
    CheckCopy(disk, checker, ScenerySubPath(record.names[0], form.value_or("BGL")), backup,
              "restored file", "backup");
  }
  CheckRemovedListFiles(disk, lists, checker);
}

// The file of the FS2004 scenery name `fsName` under `fsPath` in the form it has now, or its
// active form when it has neither.
std::string SceneryFileNow(platform::Disk& disk, const std::string& fsPath,
                           const std::string& fsName) {
  return ScenerySubPath(fsPath, fsName, CurrentSceneryForm(disk, fsPath, fsName).value_or("BGL"));
}

// `path` holds `stamp`: `what` names the check's failure.
void CheckStamp(platform::Disk& disk, Checker& checker, const std::string& path,
                const platform::ContentStamp& stamp, const std::string& what,
                const std::string& differs) {
  if (!disk.PathExists(path)) {
    checker.Check(false, what + " " + path + " is missing");
    return;
  }
  const std::optional<platform::ContentStamp> now = platform::StampOfFile(disk, path);
  if (!now) {
    checker.Check(false, what + " " + path + " could not be read" +
                             (platform::FileHeldByAnotherProgram(path)
                                  ? ": it is in use by another program"
                                  : ""));
    return;
  }
  checker.Check(*now == stamp, what + " " + path + " " + differs);
}

// Installed: every file INST.OV puts in place is one the record says was written, and holds what
// was written; every file BAK.OV backs up has a backup in the record, which holds its original.
void CheckInstalledAsRecorded(platform::Disk& disk, const PatchLists& lists,
                              const InstallRecord& record, Checker& checker) {
  PairedFiles checked;
  for (const ListRecord& entry : lists.install) {
    const ListName& destination = entry.names[2];
    if (!entry.names[0].inside || !entry.names[1].inside || !destination.inside) continue;
    if (!CurrentSceneryForm(disk, entry.names[0].folder, entry.names[0].value)) continue;
    if (!checked.Find(destination.path).empty()) continue;
    checked.Add(destination.path, destination.path);
    const std::string file = SceneryFileNow(disk, destination.folder, destination.value);
    const platform::ContentStamp* written = record.Written(destination.value);
    if (!written) {
      checker.Check(false, "installed file " + file + " was never written by an install");
      continue;
    }
    CheckStamp(disk, checker, file, *written, "installed file",
               "differs from what the install wrote");
  }
  for (const ListRecord& entry : lists.backup) {
    if (!entry.names[0].inside || !entry.names[1].inside) continue;
    if (!CurrentSceneryForm(disk, entry.names[0].folder, entry.names[0].value)) continue;
    const std::string backupFile = ScenerySubPath(entry.names[1], "BGL");
    const RecordedBackup* backup = record.Backup(entry.names[0].value);
    if (!backup) {
      checker.Check(false, "backup " + backupFile + " was never taken by an install");
      continue;
    }
    CheckStamp(disk, checker, ScenerySubPath(entry.names[1].folder, backup->backupName, "BGL"),
               backup->original, "backup", "does not hold the original it was taken of");
  }
}

// Removed: every file the record keeps a backup of holds its original again.
void CheckRemovedAsRecorded(platform::Disk& disk, const PatchContext& context,
                            const InstallRecord& record, Checker& checker) {
  for (const auto& [key, backup] : record.Backups())
    CheckStamp(disk, checker, SceneryFileNow(disk, context.m_strFsPath, record.NameOf(key)),
               backup.original, "not restored:", "does not hold its original");
}

}  // namespace

PatchVerification VerifyPatch(PatchContext& context, platform::Disk& disk, bool installed) {
  PatchVerification result;
  const platform::FileOperationScope operation;  // one look at each folder
  Checker checker(result);
  const PatchLists lists = ReadPatchLists(context, disk);
  const InstallRecord record = InstallRecord::Load(disk, context);
  result.hadRecord = record.Exists();
  if (installed) {
    if (record.Exists())
      CheckInstalledAsRecorded(disk, lists, record, checker);
    else
      CheckInstalledFiles(disk, lists, checker);
    CheckRenames(disk, lists, checker, true);
    CheckExclusionArea(disk, context, checker);
  } else {
    if (record.Exists()) {
      CheckRemovedAsRecorded(disk, context, record, checker);
      CheckRemovedListFiles(disk, lists, checker);
    } else {
      CheckRemovedFiles(disk, lists, checker);
    }
    CheckRenames(disk, lists, checker, false);
  }
  return result;
}
