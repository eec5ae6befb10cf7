// The command line's exit status and what it leaves on disk when an operation cannot run, when
// something fails during it, and on usage errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"

namespace {

using clitest::CliRun;
using clitest::DemoCopy;

const char* const kAirport = "Addon Scenery/QuillbyBay/scenery/QB_AIRP.bgl";

bool PrintedLine(const CliRun& run, const std::string& line) {
  for (const std::string& printed : run.out)
    if (printed == line) return true;
  return false;
}

TEST(CommandLineExitStatus, DisabledCheckboxStopsBeforeAnythingIsTouched) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  // The product is nowhere on the search list.
  std::filesystem::rename(demo.FsFile("Addon Scenery/QuillbyBay"),
                          demo.FsFile("Addon Scenery/Elsewhere"));
  const auto before = clitest::ReadTree(demo.Fs());

  for (const char* command : {"apply", "remove"}) {
    SCOPED_TRACE(command);
    CliRun run = demo.Run({command});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ(1u, clitest::CountOf(run.err,
                                   "Warning: Quillby Bay Airfield 2004 product not found in "
                                   "expected paths.\n"));
    EXPECT_FALSE(PrintedLine(run, "Applying Patch...Please Wait."));
    EXPECT_FALSE(PrintedLine(run, "Removing Patch...Please Wait."));
    EXPECT_EQ(clitest::ReadTree(demo.Fs()), before);
    EXPECT_EQ("0", clitest::IniStatus(demo));
  }
}

TEST(CommandLineExitStatus, FolderWithoutSceneryConfigIsNeverPatched) {
  DemoCopy demo;
  testsupport::TempFolder empty;
  const std::string emptyFs = testsupport::HostPath(empty.path());
  demo.RememberFsPath(emptyFs);
  const auto before = clitest::ReadTree(demo.Fs());

  // "Change Install Path" confirms the product folder and enables the checkbox although the
  // FS2004 folder failed its check; neither operation may run there, and both say so alike.
  for (const char* command : {"remove", "apply"}) {
    SCOPED_TRACE(command);
    CliRun run = demo.Run({"--install-path", demo.FsFile("Addon Scenery/QuillbyBay"), command});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ(2u, clitest::CountOf(run.err, "Path Cannot Continue !: "))
        << "once at start-up, once when the operation was asked for";
    EXPECT_FALSE(PrintedLine(run, "Applying Patch...Please Wait."));
    EXPECT_FALSE(PrintedLine(run, "Removing Patch...Please Wait."));
  }
  EXPECT_TRUE(clitest::ListFolders(emptyFs).empty());
  EXPECT_TRUE(clitest::ReadTree(emptyFs).empty());
  EXPECT_EQ(clitest::ReadTree(demo.Fs()), before) << "nothing renamed inside the product folder";
  EXPECT_EQ("0", clitest::IniStatus(demo));
  EXPECT_FALSE(testsupport::FileExists(demo.PatchFile("QB_AIRP_ORIG.BGL")));
  // The chosen folder is remembered without losing the product's title and check file.
  EXPECT_EQ("Quillby Bay Airfield 2004\r\nQB_README.TXT\r\n" +
                testsupport::OnRootDrive(demo.FsFile("Addon Scenery/QuillbyBay")) + "\\\r\n",
            testsupport::ReadFile(demo.PatchFile("TITLE.OV")));

  CliRun status = demo.Run({"status"});
  EXPECT_EQ(3, status.exitCode) << "start-up said the folder has no SCENERY.CFG";
  EXPECT_TRUE(PrintedLine(status, "Apply Patch: clear, disabled"));
}

TEST(CommandLineExitStatus, MessageDuringTheOperationGivesThreeAfterTheRestRan) {
  {
    SCOPED_TRACE("SCENERY.CFG cannot be appended to");
    DemoCopy demo;
    demo.RememberFsPath(demo.Fs());
    std::filesystem::remove(demo.FsFile("SCENERY.CFG"));
    std::filesystem::create_directory(demo.FsFile("SCENERY.CFG"));
    CliRun run = demo.Run({"apply"});
    EXPECT_EQ(3, run.exitCode);
    EXPECT_EQ(1u,
              clitest::CountOf(run.err,
                               "Warning: Error opening SCENERY.CFG file.\n  \n  Area you running "
                               "FS2004 ?\n  \n  Cannot complete configuration.\n"));
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ("Patch Installed, with warnings", run.out.back());
    EXPECT_EQ(testsupport::ReadFile(demo.FsFile(kAirport)),
              testsupport::ReadFile(demo.PatchFile("QB_AIRP.BGL")));
    EXPECT_EQ("1", clitest::IniStatus(demo));
  }
  {
    SCOPED_TRACE("a replacement file is missing");
    DemoCopy demo;
    demo.RememberFsPath(demo.Fs());
    std::filesystem::remove(demo.PatchFile("OV_QBEXCL.BGL"));
    CliRun run = demo.Run({"apply"});
    EXPECT_EQ(3, run.exitCode);
    EXPECT_EQ(1u, clitest::CountOf(run.err, "Warning: Error opening file "));
    EXPECT_EQ(1u, clitest::CountOf(run.err,
                                   "OV_QBEXCL.BGL\n  \n  The file is missing from the patch folder"));
    EXPECT_TRUE(PrintedLine(run, "Installing file 3"));
    EXPECT_EQ("Patch Installed, with warnings", run.out.back());
    EXPECT_EQ(testsupport::ReadFile(demo.FsFile(kAirport)),
              testsupport::ReadFile(demo.PatchFile("QB_AIRP.BGL")));
    EXPECT_TRUE(clitest::ReadTree(demo.FsFile("Scenery/OV_EXCLUDES")).count("scenery/QB_FLAT.BGL"));
    EXPECT_FALSE(
        clitest::ReadTree(demo.FsFile("Scenery/OV_EXCLUDES")).count("scenery/OV_QBEXCL.BGL"));
    EXPECT_EQ("1", clitest::IniStatus(demo));

    // The removal itself succeeds: exit 0 again.
    CliRun remove = demo.Run({"remove"});
    EXPECT_EQ(0, remove.exitCode);
    EXPECT_EQ("", remove.err);
  }
}

TEST(CommandLineExitStatus, UsageErrorsRunNothing) {
  DemoCopy demo;
  demo.RememberFsPath(demo.Fs());
  const std::string settings = testsupport::ReadFile(demo.PatchFile("OVPATCH.INI"));
  const std::vector<std::vector<std::string>> misuses = {
      {},
      {"install"},
      {"--bogus", "status"},
      {"status", "apply"},
      {"status", "--fs-path"},
      {"plan"},
      {"plan", "status"},
      {"status", "--title", "T"},
      {"make", "--title", "T"},
      {"--install-path", "C:\\prod\tX", "status"},  // a control character no list line can keep
  };
  for (const auto& args : misuses) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    SCOPED_TRACE(shown);
    CliRun run = demo.Run(args);
    EXPECT_EQ(2, run.exitCode);
    EXPECT_NE("", run.err) << "a usage error says what is wrong";
    EXPECT_EQ(settings, testsupport::ReadFile(demo.PatchFile("OVPATCH.INI"))) << "no start-up ran";
    EXPECT_TRUE(testsupport::ReadFile(demo.PatchFile("TITLE.OV")).ends_with("\r\nNONE\r\n"));
  }

  // A folder that is not a patch gets no settings and no lock file.
  const std::string notAPatch = demo.FsFile("Scenery");
  const auto before = clitest::ReadTree(notAPatch);
  CliRun elsewhere = clitest::RunCli({"--patch-dir", notAPatch, "status"});
  EXPECT_EQ(2, elsewhere.exitCode);
  EXPECT_NE(std::string::npos, elsewhere.err.find("is not a patch folder")) << elsewhere.err;
  EXPECT_EQ(before, clitest::ReadTree(notAPatch));

  CliRun help = clitest::RunCli({"--help"});
  EXPECT_EQ(0, help.exitCode);
  EXPECT_EQ(help.out, clitest::RunCli({"-h"}).out);
  std::string text;
  for (const auto& line : help.out) text += line + "\n";
  for (const char* word :
       {"--patch-dir", "--fs-path", "--install-path", "status", "apply", "remove"})
    EXPECT_NE(std::string::npos, text.find(word)) << word;

  CliRun version = clitest::RunCli({"--version"});
  EXPECT_EQ(0, version.exitCode);
  EXPECT_EQ(std::vector<std::string>{"ovpatch-cli 1.0.0.1"}, version.out);
}

}  // namespace
