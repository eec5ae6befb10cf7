#include "patch/audit/patch_verify.h"

#include <utility>
#include <vector>

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_files.h"
#include "platform/file_layers/whole_file.h"
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
void CheckCopy(Checker& checker, const std::string& copy, const std::string& original,
               const char* what, const char* ofWhat) {
  if (!platform::PathExists(copy)) {
    checker.Check(false, std::string(what) + " " + copy + " is missing");
    return;
  }
  if (!platform::PathExists(original)) {
    checker.Check(false, std::string(what) + " " + copy + " cannot be compared: its " + ofWhat +
                             " " + original + " is missing");
    return;
  }
  if (platform::SameFileBytes(copy, original)) return checker.Check(true, "");
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
void CheckRenames(const PatchLists& lists, Checker& checker, bool installed) {
  for (const ListRecord& record : lists.rename) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    const std::string& original = record.names[0].path;
    const std::string& patched = record.names[1].path;
    if (original.empty() || patched.empty() || SameFileName(original, patched)) continue;
    // Neither name there: the rename had nothing to do (a file of another product version).
    if (!platform::PathExists(original) && !platform::PathExists(patched)) continue;
    const std::string& present = installed ? patched : original;
    const std::string& gone = installed ? original : patched;
    const char* state = installed ? "renamed" : "back";
    checker.Check(platform::PathExists(present),
                  std::string("not ") + state + ": " + present + " is missing");
    checker.Check(!platform::PathExists(gone),
                  std::string("not ") + state + ": " + gone + " is still there");
  }
}

void CheckInstalledFiles(const PatchContext& context, const PatchLists& lists, Checker& checker) {
  // Records over one file install in list order: the last one is what the file holds.
  PairedFiles checked;
  std::vector<std::pair<std::string, std::string>> copies;  // installed file, its replacement
  for (auto record = lists.install.rbegin(); record != lists.install.rend(); ++record) {
    const ListName& fsFile = record->names[0];
    const ListName& replacement = record->names[1];
    const ListName& destination = record->names[2];
    if (!fsFile.inside || !replacement.inside || !destination.inside) continue;
    const auto form = CurrentSceneryForm(context.m_strFsPath, fsFile.value);
    if (!form || !checked.Find(destination.path).empty()) continue;  // skipped, or overwritten
    checked.Add(destination.path, replacement.path);
    copies.emplace_back(ScenerySubPath(destination, *form), ScenerySubPath(replacement, "BGL"));
  }
  for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy)
    CheckCopy(checker, copy->first, copy->second, "installed file", "replacement");
  for (const ListRecord& record : lists.backup) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    if (!CurrentSceneryForm(context.m_strFsPath, record.names[0].value)) continue;
    const std::string backup = ScenerySubPath(record.names[1], "BGL");
    checker.Check(platform::PathExists(backup), "backup " + backup + " is missing");
  }
}

void CheckExclusionArea(PatchContext& context, Checker& checker) {
  if (!platform::PathExists("CREATE.OV")) return;
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

void CheckRemovedFiles(const PatchContext& context, const PatchLists& lists, Checker& checker) {
  for (const ListRecord& record : lists.backup) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    const std::string backup = ScenerySubPath(record.names[1], "BGL");
    // Without a backup no install has replaced the file.
    if (!platform::PathExists(backup)) continue;
    const auto form = CurrentSceneryForm(context.m_strFsPath, record.names[0].value);
    CheckCopy(checker, ScenerySubPath(record.names[0], form.value_or("BGL")), backup,
              "restored file", "backup");
  }
  for (const ListRecord& record : lists.remove) {
    if (!record.names[0].inside) continue;
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(record.names[0], extension);
      checker.Check(!platform::PathExists(path), "not removed: " + path + " is still there");
    }
  }
}

}  // namespace

PatchVerification VerifyPatch(PatchContext& context, bool installed) {
  PatchVerification result;
  const platform::FileOperationScope operation;  // one look at each folder
  Checker checker(result);
  const PatchLists lists = ReadPatchLists(context);
  if (installed) {
    CheckInstalledFiles(context, lists, checker);
    CheckRenames(lists, checker, true);
    CheckExclusionArea(context, checker);
  } else {
    CheckRemovedFiles(context, lists, checker);
    CheckRenames(lists, checker, false);
  }
  return result;
}
