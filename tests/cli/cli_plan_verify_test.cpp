// plan and verify on a copy of demo/: what a plan lists and foresees without touching the disk, and
// what verify finds after apply, after a change by hand and after remove.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"

namespace {

using clitest::CliRun;
using clitest::DemoCopy;

size_t LinesStartingWith(const CliRun& run, const std::string& start) {
  size_t count = 0;
  for (const std::string& line : run.out) count += line.rfind(start, 0) == 0;
  return count;
}

bool HasLine(const CliRun& run, const std::string& line) {
  return std::find(run.out.begin(), run.out.end(), line) != run.out.end();
}

TEST(CommandLinePlan, ListsEveryActionAndForeseesAMissingReplacementWithoutTouchingTheDisk) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  ASSERT_EQ(0, demo.Run({"status"}).exitCode);  // the first start records the product folder
  const auto fsBefore = clitest::ReadTree(demo.Fs());
  const auto foldersBefore = clitest::ListFolders(demo.Fs());

  CliRun plan = demo.Run({"plan", "apply"});
  EXPECT_EQ(0, plan.exitCode) << plan.err;
  EXPECT_EQ("", plan.err);
  const std::string fs = demo.Fs() + "\\";
  EXPECT_TRUE(HasLine(plan, "create folder " + fs + "SCENERY\\OV_EXCLUDES"));
  EXPECT_EQ(3u, LinesStartingWith(plan, "create folder "));
  EXPECT_EQ(1u, LinesStartingWith(plan, "copy " + fs + "SCENERY.CFG to " + fs + "SCENERY."));
  EXPECT_TRUE(HasLine(plan, "append area Area.017 (layer 32) to " + fs + "SCENERY.CFG"));
  EXPECT_TRUE(HasLine(plan, "rename " + fs + "Addon Scenery\\QuillbyBay\\scenery\\QB_FLAT.BGL to " +
                                fs + "SCENERY\\OV_EXCLUDES\\scenery\\QB_FLAT.BGL"));
  EXPECT_EQ(3u, LinesStartingWith(plan, "rename "));
  EXPECT_EQ(2u, LinesStartingWith(plan, "Backing up file "));
  // The destination folder exists only in the plan, made by its first lines.
  EXPECT_TRUE(HasLine(plan, "Installing file 3: copy " + demo.PatchKept() + "\\OV_QBEXCL.BGL to " +
                                fs + "SCENERY\\OV_EXCLUDES\\scenery\\OV_QBEXCL.BGL"));
  EXPECT_EQ(3u, LinesStartingWith(plan, "Installing file "));
  EXPECT_EQ("No problems foreseen.", plan.out.back());

  std::filesystem::remove(demo.PatchFile("OV_QBEXCL.BGL"));
  testsupport::WriteFile(demo.PatchFile("REM.OV"), testsupport::ReadFile(demo.PatchFile("REM.OV")) +
                                                       "\r\nSCENERY\\FORGOTTEN\r\n");
  const auto patchBefore = clitest::ReadTree(demo.Patch());
  CliRun missing = demo.Run({"plan", "apply"});
  EXPECT_EQ(3, missing.exitCode);
  EXPECT_TRUE(HasLine(missing, "Problems foreseen: 1"));
  EXPECT_TRUE(
      HasLine(missing, "Warning: Error opening file " + demo.PatchKept() + "\\OV_QBEXCL.BGL"));
  EXPECT_TRUE(HasLine(missing, "  The file is missing from the patch folder."));
  EXPECT_TRUE(HasLine(missing,
                      "REM.OV line 3: never read: the list ends at line 2 (an empty line or "
                      "one that begins with a space)"));
  EXPECT_EQ(fsBefore, clitest::ReadTree(demo.Fs()));
  EXPECT_EQ(foldersBefore, clitest::ListFolders(demo.Fs()));
  EXPECT_EQ(patchBefore, clitest::ReadTree(demo.Patch()));
}

TEST(CommandLineVerify, HoldsAfterApplyAndRemoveAndNamesAChangedFile) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  ASSERT_EQ(0, demo.Run({"apply"}).exitCode);

  CliRun installed = demo.Run({"verify"});
  EXPECT_EQ(0, installed.exitCode) << installed.err;
  ASSERT_FALSE(installed.out.empty());
  EXPECT_EQ("Verified the installed patch: 12 checks, 0 failed.", installed.out.back());

  const std::string airport = demo.FsFile("Addon Scenery/QuillbyBay/scenery/QB_AIRP.bgl");
  const std::string installedBytes = testsupport::ReadFile(airport);
  testsupport::WriteFile(airport, installedBytes + "changed");
  CliRun changed = demo.Run({"verify"});
  EXPECT_EQ(3, changed.exitCode);
  EXPECT_EQ(1u, LinesStartingWith(changed,
                                  "installed file " + demo.Fs() +
                                      "\\Addon Scenery\\QuillbyBay\\scenery\\QB_AIRP.BGL differs"));
  EXPECT_EQ("Verified the installed patch: 12 checks, 1 failed.", changed.out.back());

  // A removal leaves a changed file alone: put the installed one back first.
  testsupport::WriteFile(airport, installedBytes);
  ASSERT_EQ(0, demo.Run({"remove"}).exitCode);
  CliRun removed = demo.Run({"verify"});
  EXPECT_EQ(0, removed.exitCode) << removed.err;
  EXPECT_EQ("Verified the removed patch: 10 checks, 0 failed.", removed.out.back());
}

}  // namespace

namespace {

// Every file and folder below `root` with its bytes and time of last change: what a command that
// changes nothing must leave exactly so.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> snapshot;
  const fs::path base(testsupport::HostPath(root));
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    const std::string name = entry.path().lexically_relative(base).generic_string();
    const auto time = fs::last_write_time(entry.path()).time_since_epoch().count();
    snapshot[name] = (entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string())) +
                     " @" + std::to_string(time);
  }
  return snapshot;
}

// The names whose entries differ between two snapshots.
std::vector<std::string> Changed(const std::map<std::string, std::string>& a,
                                 const std::map<std::string, std::string>& b) {
  std::vector<std::string> names;
  for (const auto& [name, entry] : a)
    if (!b.count(name) || b.at(name) != entry) names.push_back(name);
  for (const auto& [name, entry] : b)
    if (!a.count(name)) names.push_back(name);
  return names;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(CommandLinePlan, PlanAndVerifyChangeNoByteOfAFreshPatchOrTheSimulator) {
  DemoCopy demo;
  const std::string root = std::filesystem::path(testsupport::HostPath(demo.Fs())).parent_path().string();
  const auto before = Snapshot(root);
  // A patch author's check before shipping: the first start's settings, TITLE.OV's product folder
  // and the lock file stay unwritten.
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"--fs-path", demo.Fs(), "plan", "apply"},
        {"--fs-path", demo.Fs(), "plan", "remove"},
        {"--fs-path", demo.Fs(), "--install-path",
         demo.FsFile("Addon Scenery/QuillbyBay"), "plan", "apply"},
        {"--fs-path", demo.Fs(), "verify"}}) {
    const CliRun run = demo.Run(command);
    EXPECT_NE(2, run.exitCode) << run.err;
    EXPECT_EQ(std::vector<std::string>{}, Changed(before, Snapshot(root)))
        << "after " << command[command.size() - 1];
  }
}

TEST(CommandLineLog, EveryFileTheRunChangedHasItsLine) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  ASSERT_EQ(0, demo.Run({"status"}).exitCode);  // start-up's own writes come first
  const auto fsBefore = clitest::ReadTree(demo.Fs());
  const auto patchBefore = clitest::ReadTree(demo.Patch());
  const auto foldersBefore = clitest::ListFolders(demo.Fs());
  for (const char* command : {"apply", "remove"}) {
    ASSERT_EQ(0, demo.Run({command}).exitCode) << command;
    const std::string log = Upper(testsupport::ReadFile(demo.PatchFile("OVPATCH.LOG")));
    // The folders are named as the settings hold them; the names below them tell the file.
    const auto expectLine = [&](const std::string& folder, const std::string& name) {
      std::string path = folder + "\\" + name;
      for (char& c : path) c = c == '/' ? '\\' : c;
      EXPECT_NE(log.find(Upper(path)), std::string::npos) << command << ": no line for " << path;
    };
    for (const auto& [name, bytes] : clitest::ReadTree(demo.Fs()))
      if (!fsBefore.count(name) || fsBefore.at(name) != bytes) expectLine("FS2004", name);
    for (const auto& [name, bytes] : fsBefore)
      if (!clitest::ReadTree(demo.Fs()).count(name)) expectLine("FS2004", name);
    for (const std::string& folder : clitest::ListFolders(demo.Fs()))
      if (std::find(foldersBefore.begin(), foldersBefore.end(), folder) == foldersBefore.end())
        expectLine("FS2004", folder);
    for (const auto& [name, bytes] : clitest::ReadTree(demo.Patch()))
      if (name != "OVPATCH.LOG" && (!patchBefore.count(name) || patchBefore.at(name) != bytes))
        expectLine("patch", name);
  }
}

}  // namespace
