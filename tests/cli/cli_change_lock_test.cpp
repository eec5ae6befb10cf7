// Two instances on the same folders: while a second one holds the change lock, the command line
// changes nothing; once that one is killed, the lock is free again.
#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/child_process.h"

namespace {

using clitest::CliRun;
using clitest::DemoCopy;
using testsupport::HostPath;

const char* const kRefusal =
    "Warning: Another install or removal is running on this FS2004 folder.\n"
    "  Please try again when it has finished.\n";

bool PrintedLine(const CliRun& run, const std::string& line) {
  for (const std::string& printed : run.out)
    if (printed == line) return true;
  return false;
}

// The patch folder's files but the lock file, which the refused instance may have made.
std::map<std::string, std::string> PatchTree(const DemoCopy& demo) {
  auto tree = clitest::ReadTree(demo.Patch());
  tree.erase("OVPATCH.LCK");
  return tree;
}

TEST(CommandLineChangeLock, AnotherInstanceAtWorkRefusesEveryChangeUntilItIsKilled) {
  DemoCopy demo;
  // A first start would remember the product folder in TITLE.OV and write "Status".
  demo.RememberFsPath(demo.Fs());
  testsupport::TempFolder elsewhere;
  testsupport::MakeDirs(elsewhere / "patch");
  testsupport::MakeDirs(elsewhere / "fs");

  const std::string elsewhereFs = HostPath(elsewhere / "fs");
  using Commands = std::vector<std::vector<std::string>>;
  // Every kind of change, "Change FS2004 Path" to `fsFolder`.
  const auto everyChange = [&](const std::string& fsFolder) {
    return Commands{{"apply"},
                    {"--fs-path", fsFolder, "apply"},
                    {"--install-path", demo.FsFile("Addon Scenery/QuillbyBay"), "remove"}};
  };
  struct Holder {
    std::string patchFolder, fsFolder;
    Commands refused;
  };
  // The holder shares the FS2004 folder only, then the patch folder only, then only the FS2004
  // folder that "Change FS2004 Path" is about to choose.
  const std::vector<Holder> holders{
      // The same folder, with a separator at its end that the option drops again.
      {HostPath(elsewhere / "patch"), demo.Fs(), everyChange(demo.Fs() + "/")},
      {demo.Patch(), elsewhereFs, everyChange(elsewhereFs)},
      {HostPath(elsewhere / "patch"), elsewhereFs, {{"--fs-path", elsewhereFs, "apply"}}}};
  for (size_t i = 0; i < holders.size(); ++i) {
    SCOPED_TRACE("holder " + std::to_string(i));
    const std::string ready = HostPath(elsewhere / ("ready" + std::to_string(i)));
    testsupport::ChildProcess holder(clitest::FromBuild(OVPATCH_LOCK_HOLDER_PATH),
                                     {holders[i].patchFolder, holders[i].fsFolder, ready});
    ASSERT_TRUE(holder.Started());
    ASSERT_TRUE(testsupport::WaitForFile(ready, 60));
    const auto fsBefore = clitest::ReadTree(demo.Fs());
    const auto patchBefore = PatchTree(demo);

    const bool sharesDemo =
        holders[i].fsFolder == demo.Fs() || holders[i].patchFolder == demo.Patch();
    if (sharesDemo) {
      CliRun status = demo.Run({"status"});
      EXPECT_EQ(0, status.exitCode);
      EXPECT_TRUE(PrintedLine(status, "Status: Another install or removal is running"));
    }

    for (const std::vector<std::string>& command : holders[i].refused) {
      SCOPED_TRACE(command.front());
      CliRun run = demo.Run(command);
      EXPECT_EQ(1, run.exitCode);
      EXPECT_EQ(1u, clitest::CountOf(run.err, kRefusal)) << run.err;
      EXPECT_FALSE(PrintedLine(run, "Applying Patch...Please Wait."));
      EXPECT_FALSE(PrintedLine(run, "Removing Patch...Please Wait."));
    }
    EXPECT_TRUE(clitest::ReadTree(demo.Fs()) == fsBefore) << "the FS2004 folder changed";
    EXPECT_EQ(std::string::npos,
              testsupport::ReadFile(demo.PatchFile("OVPATCH.INI")).find(elsewhereFs));
    if (sharesDemo) {
      // Start-up's writes were held back too: TITLE.OV still asks for the search.
      EXPECT_TRUE(PatchTree(demo) == patchBefore) << "the patch folder changed";
      EXPECT_EQ("", clitest::IniStatus(demo));
    }

    holder.Kill();
  }

  CliRun apply = demo.Run({"apply"});
  EXPECT_EQ(0, apply.exitCode) << apply.err;
  EXPECT_TRUE(PrintedLine(apply, "Patch Installed !"));
  EXPECT_EQ("1", clitest::IniStatus(demo));
}

}  // namespace
