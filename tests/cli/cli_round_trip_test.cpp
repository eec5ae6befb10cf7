// The command line end to end on a copy of demo/: a first start, status, apply, status, remove,
// with the files on disk checked after each step.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/cli_runner.h"
#include "patch/engine/scenery_library.h"

namespace {

using clitest::CliRun;
using clitest::DemoCopy;
using Lines = std::vector<std::string>;

const char* const kTitle = "Quillby Bay Airfield 2004";
const char* const kAirport = "Addon Scenery/QuillbyBay/scenery/QB_AIRP.bgl";
const char* const kObjects = "Addon Scenery/QuillbyBay/scenery/QB_OBJ.XXX";
const char* const kStockAirport = "Scenery/NAMC/scenery/APX27150.BGL";
const char* const kOwnExclude = "Addon Scenery/QuillbyBay/scenery/QB_EXCL.BGL";
const char* const kFlatten = "Addon Scenery/QuillbyBay/scenery/QB_FLAT.BGL";

const char* const kExclusionArea =
    "\r\n[Area.017]\r\nTitle=Orvane - Exclude Files For Addon "
    "Patches\r\nLocal=SCENERY\\OV_EXCLUDES\r\n"
    "Layer=32\r\nActive=TRUE\r\nRequired=FALSE\r\nRemote=\r\n";

Lines Trimmed(Lines lines);

// The fields of status for the FS2004 folder `fs` as the program shows it.
Lines StatusLines(const std::string& fs, const std::string& tick, const std::string& enabled) {
  return Trimmed({"FS2004 Installation Path: " + fs,
                  std::string("Product To Be Patched: ") + kTitle,
                  "Product Install Path: " + DemoCopy::ProductPath(fs),
                  "Apply Patch: " + tick + ", " + enabled, "Status:"});
}

// Takes the dated copies of SCENERY.CFG out of a tree of the FS2004 folder; how many there were.
size_t EraseSceneryCopies(std::map<std::string, std::string>& tree) {
  return std::erase_if(tree, [](const auto& entry) { return IsSceneryBackupName(entry.first); });
}

// Lines as printed, trailing blanks dropped (an empty status line prints as "Status:").
Lines Trimmed(Lines lines) {
  for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  return lines;
}

TEST(CommandLine, FirstStartThenApplyAndRemoveGiveEveryFileBack) {
  DemoCopy demo;
  const auto original = clitest::ReadTree(demo.Fs());
  const auto originalFolders = clitest::ListFolders(demo.Fs());

  // First start: no registry value and no settings file. The chosen folder is checked and
  // remembered, and PATH.OV, which start-up never reached, finds the product at once.
  CliRun first = demo.Run({"--fs-path", demo.Fs(), "status"});
  EXPECT_EQ(1u, clitest::CountOf(first.err,
                                 "Path Cannot Continue !: The 'FS2004 Installation Path' cannot be "
                                 "located in the registry."));
  EXPECT_EQ(0u, clitest::CountOf(first.err, "Warning: "));
  EXPECT_EQ(Trimmed(first.out), StatusLines(demo.FsKept(), "clear", "enabled"));
  EXPECT_EQ(3, first.exitCode) << "a message was shown before the fields were printed";
  EXPECT_EQ("0", clitest::IniStatus(demo));
  EXPECT_EQ("Quillby Bay Airfield 2004\r\nQB_README.TXT\r\n" +
                DemoCopy::ProductPath(demo.FsKept()) + "\r\n",
            testsupport::ReadFile(demo.PatchFile("TITLE.OV")));

  // Second start: the settings file names the folder, TITLE.OV the product.
  CliRun status = demo.Run({"status"});
  EXPECT_EQ(0, status.exitCode);
  EXPECT_EQ("", status.err);
  EXPECT_EQ(Trimmed(status.out), StatusLines(demo.FsKept(), "clear", "enabled"));
  const auto patchBefore = clitest::ReadTree(demo.Patch());

  CliRun apply = demo.Run({"apply"});
  EXPECT_EQ(0, apply.exitCode);
  EXPECT_EQ("", apply.err);
  EXPECT_EQ(apply.out, (Lines{"Applying Patch...Please Wait.", "Backing up file 1",
                              "Backing up file 2", "Installing file 1", "Installing file 2",
                              "Installing file 3", "Patch Installed !"}));
  EXPECT_EQ("1", clitest::IniStatus(demo));

  const auto applied = clitest::ReadTree(demo.Fs());
  // Replacements keep the form and the spelling the simulator's file has.
  EXPECT_EQ(applied.at(kAirport), patchBefore.at("QB_AIRP.BGL"));
  EXPECT_EQ(applied.at(kObjects), patchBefore.at("QB_OBJ.BGL"));
  EXPECT_EQ(0u, applied.count("Addon Scenery/QuillbyBay/scenery/QB_OBJ.BGL"));
  EXPECT_EQ(applied.at("Scenery/OV_EXCLUDES/scenery/OV_QBEXCL.BGL"),
            patchBefore.at("OV_QBEXCL.BGL"));
  // Renames: a stock file, a product file through the product folder, a move into a new folder.
  EXPECT_EQ(0u, applied.count(kStockAirport));
  EXPECT_EQ(applied.at("Scenery/NAMC/scenery/APX27150.OVP"), original.at(kStockAirport));
  EXPECT_EQ(0u, applied.count(kOwnExclude));
  EXPECT_EQ(applied.at("Addon Scenery/QuillbyBay/scenery/QB_EXCL.OVP"), original.at(kOwnExclude));
  EXPECT_EQ(0u, applied.count(kFlatten));
  EXPECT_EQ(applied.at("Scenery/OV_EXCLUDES/scenery/QB_FLAT.BGL"), original.at(kFlatten));
  // The exclusion area takes the free number 17 and the layer above the highest (31).
  EXPECT_EQ(applied.at("SCENERY.CFG"), original.at("SCENERY.CFG") + kExclusionArea);
  // Backups of the active and of the disabled file, both as ".BGL".
  const auto patchApplied = clitest::ReadTree(demo.Patch());
  EXPECT_EQ(patchApplied.at("QB_AIRP_ORIG.BGL"), original.at(kAirport));
  EXPECT_EQ(patchApplied.at("QB_OBJ_ORIG.BGL"), original.at(kObjects));

  CliRun after = demo.Run({"status"});
  EXPECT_EQ(0, after.exitCode);
  EXPECT_EQ("", after.err);
  EXPECT_EQ(Trimmed(after.out), StatusLines(demo.FsKept(), "ticked", "enabled"));

  CliRun remove = demo.Run({"remove"});
  EXPECT_EQ(0, remove.exitCode);
  EXPECT_EQ("", remove.err);
  EXPECT_EQ(remove.out, (Lines{"Removing Patch...Please Wait.", "Restoring file 1",
                               "Restoring file 2", "Patch Removed"}));
  EXPECT_EQ("0", clitest::IniStatus(demo));

  // Every original file is back byte for byte; SCENERY.CFG keeps the area, and the created
  // folders stay (empty).
  auto removed = clitest::ReadTree(demo.Fs());
  EXPECT_EQ(removed.at("SCENERY.CFG"), original.at("SCENERY.CFG") + kExclusionArea);
  removed["SCENERY.CFG"] = original.at("SCENERY.CFG");
  EXPECT_EQ(1u, EraseSceneryCopies(removed)) << "one copy, from before the area was appended";
  EXPECT_EQ(removed, original);
  auto folders = originalFolders;
  for (const char* created :
       {"Scenery/OV_EXCLUDES", "Scenery/OV_EXCLUDES/scenery", "Scenery/OV_EXCLUDES/texture"})
    folders.push_back(created);
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(clitest::ListFolders(demo.Fs()), folders);
  // The patch folder only gained the backups, the log and the install record, and kept its
  // replacement files.
  auto patchAfter = clitest::ReadTree(demo.Patch());
  EXPECT_EQ(1u, patchAfter.erase("OVPATCH.REC"));
  EXPECT_EQ(patchAfter.at("QB_AIRP_ORIG.BGL"), original.at(kAirport));
  patchAfter.erase("QB_AIRP_ORIG.BGL");
  patchAfter.erase("QB_OBJ_ORIG.BGL");
  patchAfter.erase("OVPATCH.INI");
  patchAfter.erase("OVPATCH.LOG");
  auto expectedPatch = patchBefore;
  expectedPatch.erase("OVPATCH.INI");
  EXPECT_EQ(patchAfter, expectedPatch);
}

TEST(CommandLine, RepeatedCommandsRunAgainWithoutDoublingAnything) {
  // In a prefix whose drives reach neither folder, the patch folder is used as the host names it.
  DemoCopy demo(clitest::PrefixDrives::kNone);
  demo.RememberFsPath(demo.Fs());
  const auto original = clitest::ReadTree(demo.Fs());

  ASSERT_EQ(0, demo.Run({"apply"}).exitCode);
  const auto firstBackup = testsupport::ReadFile(demo.PatchFile("QB_AIRP_ORIG.BGL"));

  // Already ticked: cleared without running anything, then ticked again. The backups exist, so
  // only the replacements are copied, and the area is found and not appended again.
  CliRun again = demo.Run({"apply"});
  EXPECT_EQ(0, again.exitCode);
  EXPECT_EQ("", again.err);
  EXPECT_EQ(again.out, (Lines{"Applying Patch...Please Wait.", "Installing file 1",
                              "Installing file 2", "Installing file 3", "Patch Installed !"}));
  const auto twice = clitest::ReadTree(demo.Fs());
  EXPECT_EQ(1u, clitest::CountOf(twice.at("SCENERY.CFG"), "[Area.017]"));
  EXPECT_EQ(1u, clitest::CountOf(twice.at("SCENERY.CFG"), "OV_EXCLUDES"));
  EXPECT_EQ(firstBackup, testsupport::ReadFile(demo.PatchFile("QB_AIRP_ORIG.BGL")));

  ASSERT_EQ(0, demo.Run({"remove"}).exitCode);
  // Already clear: ticked without running anything, then cleared: the removal runs once more; the
  // files hold their backups already, so nothing is copied.
  CliRun removeAgain = demo.Run({"remove"});
  EXPECT_EQ(0, removeAgain.exitCode);
  EXPECT_EQ("", removeAgain.err);
  EXPECT_EQ(removeAgain.out, (Lines{"Removing Patch...Please Wait.", "Patch Removed"}));
  EXPECT_EQ("0", clitest::IniStatus(demo));
  auto removed = clitest::ReadTree(demo.Fs());
  removed["SCENERY.CFG"] = original.at("SCENERY.CFG");
  EXPECT_EQ(1u, EraseSceneryCopies(removed)) << "SCENERY.CFG changed once";
  EXPECT_EQ(removed, original);
}

TEST(CommandLine, PatchFolderDefaultsToTheCurrentFolder) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  testsupport::ScopedCurrentFolder inPatch(demo.Patch());
  CliRun status = clitest::RunCli({"status"});
  EXPECT_EQ(0, status.exitCode);
  EXPECT_EQ("", status.err);
  EXPECT_EQ(Trimmed(status.out), StatusLines(demo.Fs(), "clear", "enabled"));
  EXPECT_EQ("0", clitest::IniStatus(demo)) << "the settings file is the patch folder's";
}

}  // namespace

TEST(CommandLine, RelativeFolderOptionsMeanTheFolderTheCommandStartedIn) {
  DemoCopy demo;
  const std::string fsFolder = demo.Fs();
  const std::string root = fsFolder.substr(0, fsFolder.find_last_of("\\/"));
  testsupport::ScopedCurrentFolder startedIn(root);
  CliRun run = clitest::RunCli({"--patch-dir", "patch", "--fs-path", "FS2004", "status"});
  // SCENERY.CFG and the product are found: only the missing registry value is told.
  EXPECT_EQ(0u, clitest::CountOf(run.err, "Warning: ")) << run.err;
  EXPECT_NE(std::find(run.out.begin(), run.out.end(), "Apply Patch: clear, enabled"),
            run.out.end());
}
