// A seeded, randomized check of the whole engine through the dialog: small FS2004 trees and list
// files with the odd shapes a patch meets (files in neither or both forms, missing, stale and
// blocked backups, missing replacements, read-only files, several records over one file, folders
// listed before their parent, renames into missing folders, names leaving their folder, typing
// mistakes) run through plan, install and removal, with these invariants:
// - no byte of an FS2004 file is lost (it is in place, renamed, or in a backup);
// - apply then remove gives the tree back, except what is kept on purpose, when neither failed;
// - the outcome, the status line, the message boxes and the change log's end line agree;
// - what the plan foresaw as failing is what failed.
// OVPATCH_RANDOM_SEED repeats a run; OVPATCH_RANDOM_CASES sets how many cases it has.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "support/random_seed.h"
#include <set>

#include "dialog_fixture.h"
#include "patch/audit/operation_plan.h"
#include "patch/audit/operation_record.h"

namespace {

using Tree = std::map<std::string, std::string>;  // upper-cased relative name -> content

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Every file and folder under `root`, names upper-cased ("<dir>" for folders).
Tree ReadTree(const std::string& root) {
  namespace fs = std::filesystem;
  Tree tree;
  const fs::path base = testsupport::HostPath(root);
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    const std::string name = Upper(fs::relative(entry.path(), base).generic_string());
    tree[name] = entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string());
  }
  return tree;
}

// The results that count as failures, as "step list line result", sorted.
std::vector<std::string> FailureKeys(const OperationOutcome& outcome) {
  std::vector<std::string> keys;
  for (const RecordOutcome& entry : outcome.Entries())
    if (entry.result == RecordResult::Failed ||
        (entry.result == RecordResult::Skipped && entry.told))
      keys.push_back(entry.step + " " + entry.listFile + " " + std::to_string(entry.lineNumber) +
                     " " + std::to_string(static_cast<int>(entry.result)));
  std::sort(keys.begin(), keys.end());
  return keys;
}

// One generated case: the trees and lists written to disk, and what the checks need to know.
struct GeneratedCase {
  // Starts of FS2004 names whose bytes are discarded on purpose: a rename whose second name
  // exists, a file INST.OV replaces without a BAK.OV record.
  std::set<std::string> thrownAway;
  std::map<std::string, std::string> renamedBack;  // name -> content it holds after the removal
  std::set<std::string> goneAfterRemoval;          // moved to its first name by the removal

  // True for a name of the case's tree ("FS/...") whose bytes are discarded on purpose.
  bool Discards(const std::string& name) const {
    return std::any_of(thrownAway.begin(), thrownAway.end(),
                       [&](const std::string& start) { return name.starts_with("FS/" + start); });
  }
};

class RandomPatchTest : public DialogFixture {
protected:
  std::mt19937 rng;
  std::string caseDir, fs, patch;

  bool Chance(int percent) { return static_cast<int>(rng() % 100) < percent; }
  int Below(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }
  std::string Spelled(const std::string& name) {  // the disk's letter case is not the list's
    return Chance(50) ? name : Upper(name);
  }

  GeneratedCase Generate() {
    GeneratedCase generated;
    const std::string world = fs + "\\Scenery\\World\\";
    testsupport::MakeDirs(world);
    testsupport::MakeDirs(fs + "\\Addon\\Product");
    testsupport::WriteFile(fs + "\\Addon\\Product\\PRODUCT.TXT", "x");
    testsupport::WriteFile(fs + "\\SCENERY.CFG",
                           "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\n"
                           "Layer=1\r\nActive=TRUE\r\nRequired=FALSE\r\n");
    WritePatchFile("TITLE.OV", "Test Product\nPRODUCT.TXT\nNONE\n");
    WritePatchFile("PATH.OV", "Addon\\Product\n");
    WritePatchFile("OVPATCH.INI", "[Settings]\r\nFs2004=" + fs + "\r\nStatus=0\r\n");

    std::string create = "Scenery\\OVX\r\n";
    if (Chance(10)) create = "Scenery\\OVX\\Deep\r\n" + create;  // before its parent
    std::vector<std::vector<std::string>> ren, rem, bak, inst;

    const int files = 1 + Below(4);
    for (int i = 0; i < files; ++i) {
      const std::string name = "f" + std::to_string(i);
      const std::string listed = "Scenery\\World\\" + name;
      const int form = Below(100);  // none, BGL, XXX, both
      std::vector<std::string> forms;
      if (form >= 10 && form < 60) forms = {"bgl"};
      if (form >= 60 && form < 85) forms = {"xxx"};
      if (form >= 85) forms = {"bgl", "XXX"};
      const std::string replacement = "r" + std::to_string(i);
      const bool replacementPresent = Chance(90);
      if (replacementPresent) WritePatchFile(replacement + ".BGL", "new " + name);
      const bool alreadyPatched = replacementPresent && Chance(5);
      for (const std::string& extension : forms) {
        const std::string path = world + Spelled(name) + "." + extension;
        testsupport::WriteFile(path, alreadyPatched && extension == forms.back()
                                         ? "new " + name
                                         : "original " + name + " " + extension);
        if (Chance(8)) testsupport::MakeReadOnly(path);
      }
      const std::string backup = name + "_BAK";
      const bool backedUp = Chance(90);
      if (backedUp) bak.push_back({listed, backup});
      // A file patched already with its backup present is what a second install meets; that
      // backup holds the original, so only a missing one is generated here.
      const int backupState = alreadyPatched ? 100 : Below(100);
      if (backupState < 15) WritePatchFile(backup + ".BGL", "stale backup");
      if (backupState >= 15 && backupState < 20)
        testsupport::MakeDirs(patch + "\\" + backup + ".BGL");
      if (Chance(90)) inst.push_back({listed, replacement, listed});
      if (!backedUp) generated.thrownAway.insert(Upper("Scenery/World/" + name + "."));
      if (Chance(15)) {  // a second record over the same file
        WritePatchFile(replacement + "b.BGL", "newer " + name);
        inst.push_back({listed, replacement + "b", listed});
      }
      if (Chance(30)) {  // a file the patch brings, put where the folder is made
        const std::string brought = "n" + std::to_string(i);
        WritePatchFile(brought + ".BGL", "brought " + brought);
        const std::string folder = Chance(85) ? "Scenery\\OVX\\" : "Scenery\\OVX\\Deep\\";
        inst.push_back({listed, brought, folder + brought});
        rem.push_back({folder + brought});
      }
    }
    if (Chance(10)) inst.push_back({"Scenery\\World\\Typo", "r0", "Scenery\\World\\Typo"});

    const int renames = Below(3);
    for (int k = 0; k < renames; ++k) {
      const std::string first = "g" + std::to_string(k) + ".bgl";
      const bool intoMissingFolder = Chance(10);
      const std::string second = (intoMissingFolder ? "Scenery\\Gone\\g" : "Scenery\\World\\g") +
                                 std::to_string(k) + ".off";
      const int state = Below(100);
      const bool firstThere = state < 75 || state >= 95;
      const bool secondThere = !intoMissingFolder && ((state >= 75 && state < 85) || state >= 95);
      if (firstThere) testsupport::WriteFile(world + Spelled(first), "first " + first);
      if (secondThere)
        testsupport::WriteFile(fs + "\\" + second, "second " + first);  // spelled as listed
      // The removal moves whatever the second name holds back to the first.
      if (secondThere) {
        if (firstThere) generated.thrownAway.insert(Upper("Scenery/World/" + first));
        generated.renamedBack[Upper("Scenery/World/" + first)] = "second " + first;
        std::string secondName = Upper(second);
        std::replace(secondName.begin(), secondName.end(), '\\', '/');
        generated.goneAfterRemoval.insert(secondName);
      }
      ren.push_back({"Scenery\\World\\" + first, second});
    }
    if (Chance(5)) {  // a name that leaves its folder
      testsupport::MakeDirs(caseDir + "\\Outside");
      testsupport::WriteFile(caseDir + "\\Outside\\victim.BGL", "not the patch's");
      rem.push_back({"..\\..\\Outside\\victim"});
    }
    std::shuffle(inst.begin(), inst.end(), rng);

    WritePatchFile("CREATE.OV", create);
    WriteColumns("REN.OV", ren);
    WriteColumns("REM.OV", rem);
    WriteColumns("BAK.OV", bak);
    WriteColumns("INST.OV", inst);
    return generated;
  }

  void WritePatchFile(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile(patch + "\\" + name, bytes);
  }
  void WriteColumns(const std::string& name, const std::vector<std::vector<std::string>>& lines) {
    std::string text;
    for (const auto& line : lines) {
      std::string record;
      for (size_t column = 0; column < line.size(); ++column) {
        record.resize(column * 80, ' ');
        record += line[column];
      }
      text += record + "\r\n";
    }
    WritePatchFile(name, text);
  }

  std::string LastLogLine() {
    std::string log = testsupport::ReadFile(patch + "\\OVPATCH.LOG");
    while (!log.empty() && (log.back() == '\n' || log.back() == '\r')) log.pop_back();
    return log.substr(log.rfind('\n') + 1);
  }

  // Every byte of the original FS2004 files is still somewhere in the case's folders.
  void ExpectNoOriginalLost(const Tree& original, const GeneratedCase& generated,
                            const char* when) {
    std::multiset<std::string> contents;
    for (const auto& [name, content] : ReadTree(caseDir)) contents.insert(content);
    for (const auto& [name, content] : original) {
      if (!name.starts_with("FS/") && !name.starts_with("OUTSIDE/")) continue;
      if (content == "<dir>" || generated.Discards(name)) continue;
      EXPECT_TRUE(contents.count(content)) << when << ": the content of " << name << " is lost";
    }
  }

  // Plan, then a click on "Apply Patch"; checks that every reporter agrees.
  void RunOperation(HeadlessWindow& window, CPatchDlg& dialog, bool install,
                    OperationOutcome& outcome) {
    const OperationPlan plan = PlanOperation(dialog.Context(), install);
    const size_t messagesBefore = backend.messageBoxes.size();
    ASSERT_TRUE(window.Click(IDC_APPLY_PATCH));
    ASSERT_NE(dialog.LastOutcome(), nullptr);
    outcome = *dialog.LastOutcome();
    const char* what = install ? "install" : "removal";
    SCOPED_TRACE(what);

    const bool failed = outcome.Failed();
    const std::string expectedStatus =
        install ? (failed ? "Patch Installed, with warnings" : "Patch Installed !")
                : (failed ? "Patch Removed, with warnings" : "Patch Removed");
    EXPECT_EQ(statusLines.back(), expectedStatus);
    // The command line's exit status is 3 exactly when a message was shown or the outcome failed.
    EXPECT_EQ(backend.messageBoxes.size() > messagesBefore, failed);
    const int failures = outcome.Failures();
    EXPECT_TRUE(LastLogLine().ends_with(std::string(what) +
                                        " finished: " + std::to_string(failures) +
                                        (failures == 1 ? " failure" : " failures")))
        << LastLogLine();
    EXPECT_EQ(FailureKeys(plan.outcome), FailureKeys(outcome)) << "what the plan foresaw";
    EXPECT_EQ(plan.problems.empty(), !failed);
  }
};

TEST_F(RandomPatchTest, InstallAndRemovalKeepEveryByteAndTellOneOutcome) {
  const uint32_t seed = testsupport::SeedOfThisRun();
  const int cases = testsupport::CasesOfThisRun(300);
  int failedInstalls = 0, failedRemovals = 0, roundTrips = 0;
  for (int n = 0; n < cases && !HasFailure(); ++n) {
    const uint32_t caseSeed = seed + static_cast<uint32_t>(n);
    SCOPED_TRACE("OVPATCH_RANDOM_SEED=" + std::to_string(caseSeed) + " OVPATCH_RANDOM_CASES=1");
    rng.seed(caseSeed);
    caseDir = dir / ("case" + std::to_string(n));
    fs = caseDir + "\\fs";
    patch = caseDir + "\\patch";
    testsupport::MakeDirs(patch);
    const GeneratedCase generated = Generate();
    const Tree original = ReadTree(caseDir);

    OperationOutcome installed, removed;
    {
      // The case's folder is left again before it is removed: Windows keeps the current one.
      testsupport::ScopedCurrentFolder inPatch(patch);
      const platform::ScopedOwnFileName ownFileName(patch + "\\OVPatch.exe");
      g_productSearchList.entries.clear();
      statusLines.clear();
      backend.messageBoxes.clear();
      RunDialog({[&](HeadlessWindow& window, CPatchDlg& dialog) {
                   ASSERT_TRUE(backend.messageBoxes.empty()) << "start-up";
                   RunOperation(window, dialog, true, installed);
                   ExpectNoOriginalLost(original, generated, "after the install");
                 },
                 [&](HeadlessWindow& window, CPatchDlg& dialog) {
                   RunOperation(window, dialog, false, removed);
                 }});
    }
    ExpectNoOriginalLost(original, generated, "after the removal");
    failedInstalls += installed.Failed();
    failedRemovals += removed.Failed();

    if (!installed.Failed() && !removed.Failed()) {
      ++roundTrips;
      // Kept on purpose: the patch folder's backups and log, SCENERY.CFG with its area and its
      // dated copies, the folders made.
      const auto keptOnPurpose = [&](const auto& entry) {
        const std::string& name = entry.first;
        return name.starts_with("PATCH/") || name.starts_with("FS/SCENERY.") ||
               name.starts_with("FS/SCENERY/OVX") ||
               (generated.Discards(name) && !generated.renamedBack.count(name.substr(3)));
      };
      Tree expected = original;
      std::erase_if(expected, keptOnPurpose);
      for (const auto& [name, content] : generated.renamedBack) expected["FS/" + name] = content;
      for (const std::string& name : generated.goneAfterRemoval) expected.erase("FS/" + name);
      Tree after = ReadTree(caseDir);
      std::erase_if(after, keptOnPurpose);
      EXPECT_EQ(after, expected) << "apply then remove";
    }
    if (HasFailure()) {
      std::string lists;
      for (const char* name : {"CREATE.OV", "REN.OV", "REM.OV", "BAK.OV", "INST.OV"})
        lists += std::string(name) + ":\n" + testsupport::ReadFile(patch + "\\" + name);
      std::string tree;
      for (const auto& [name, content] : original) tree += name + " = " + content + "\n";
      ADD_FAILURE() << "the case's files before:\n"
                    << tree << lists << "log:\n"
                    << testsupport::ReadFile(patch + "\\OVPATCH.LOG");
    }
    std::error_code ignored;
    std::filesystem::remove_all(testsupport::HostPath(caseDir), ignored);
  }
  if (HasFailure()) ADD_FAILURE() << "seed of this run: " << seed;
  std::printf("%d cases (seed %u): %d installs and %d removals told of failures, %d round trips\n",
              cases, seed, failedInstalls, failedRemovals, roundTrips);
}

}  // namespace
