// ovpatch-cli make on the sample: the sample patch is made again from the simulator as it ships and
// the simulator with the sample patch applied.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "patch/engine/scenery_library.h"

namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::DemoCopy;
using testsupport::HostPath;
using Files = std::map<std::string, std::string>;

// The files of a tree without the dated copies of SCENERY.CFG.
Files WithoutSceneryCopies(Files files) {
  std::erase_if(files, [](const auto& entry) { return IsSceneryBackupName(entry.first); });
  return files;
}

TEST(CommandLineMake, SamplePatchMadeFromItsTwoTreesAppliesAndRemoves) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  testsupport::TempFolder work;
  const std::string original = HostPath(work / "original");
  fs::copy(demo.Fs(), original, fs::copy_options::recursive);
  ASSERT_EQ(0, demo.Run({"apply"}).exitCode);
  const Files patched = WithoutSceneryCopies(clitest::ReadTree(demo.Fs()));

  const std::string made = HostPath(work / "made");
  const auto make = [&](const std::string& from, const std::string& to, const std::string& out) {
    return clitest::RunCli({"make", "--original", from, "--patched", to, "--product",
                            "Addon Scenery\\QuillbyBay", "--title", "Quillby Bay Airfield 2004",
                            "--out", out});
  };
  const CliRun run = make(original, demo.Fs(), made);
  EXPECT_EQ(0, run.exitCode) << run.err;
  size_t replacementBytes = 0;
  for (const char* name : {"QB_AIRP.BGL", "QB_OBJ.BGL", "OV_QBEXCL.BGL"})
    replacementBytes += testsupport::ReadFile(demo.PatchFile(name)).size();
  EXPECT_EQ(run.out, std::vector<std::string>{"Patch written to " + made +
                                              ": 3 folders, 3 renames, 2 backups, 3 installs, 1 "
                                              "removal, " +
                                              std::to_string(replacementBytes) +
                                              " bytes of replacement files."});
  EXPECT_EQ("Quillby Bay Airfield 2004\r\nQB_README.TXT\r\nNONE\r\n",
            testsupport::ReadFile(made + "/TITLE.OV"));
  EXPECT_EQ("Addon Scenery\\QuillbyBay\r\n", testsupport::ReadFile(made + "/PATH.OV"));

  // The made patch on a fresh copy of the original: nothing looks like a mistake, the install
  // gives the patched tree and the removal the original.
  const std::string fresh = HostPath(work / "fresh");
  fs::copy(original, fresh, fs::copy_options::recursive);
  testsupport::WriteFile(made + "/OVPATCH.INI", "[Settings]\r\nFs2004=" + fresh + "\r\n");
  const CliRun plan = clitest::RunCli({"--patch-dir", made, "plan", "apply"});
  EXPECT_EQ(0, plan.exitCode) << plan.err;
  for (const std::string& line : plan.out)
    EXPECT_FALSE(line.starts_with("List file lines that look like mistakes")) << line;
  EXPECT_EQ(0, clitest::RunCli({"--patch-dir", made, "apply"}).exitCode);
  EXPECT_EQ(WithoutSceneryCopies(clitest::ReadTree(fresh)), patched);
  EXPECT_EQ(0, clitest::RunCli({"--patch-dir", made, "remove"}).exitCode);
  Files removed = WithoutSceneryCopies(clitest::ReadTree(fresh));
  removed["SCENERY.CFG"] = testsupport::ReadFile(original + "/SCENERY.CFG");
  EXPECT_EQ(removed, clitest::ReadTree(original));

  // Backwards, the patch would delete files and folders: refused, nothing written.
  const std::string backwards = HostPath(work / "backwards");
  const CliRun refused = make(demo.Fs(), original, backwards);
  EXPECT_EQ(3, refused.exitCode);
  EXPECT_FALSE(fs::exists(backwards));
  EXPECT_LT(1u, refused.out.size());
  // Two folders that do not differ make no patch.
  const std::string copy = HostPath(work / "copy");
  fs::copy(original, copy, fs::copy_options::recursive);
  const std::string nothing = HostPath(work / "nothing");
  const CliRun same = make(original, copy, nothing);
  EXPECT_EQ(3, same.exitCode);
  EXPECT_EQ(same.out, std::vector<std::string>{"The folders " + original + " and " + copy +
                                               " do not differ: there is nothing to patch; "
                                               "nothing was written."});
  EXPECT_FALSE(fs::exists(nothing));
  // A folder that holds files already is never written into.
  EXPECT_EQ(2, make(original, demo.Fs(), made).exitCode);
}

}  // namespace
