// Whole-file writes: the new content replaces the old file only when every byte of it is on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/whole_file.h"
#include "support/temp_folder.h"

namespace {

using platform::WriteOutcome;
using testsupport::ListFolder;
using testsupport::ReadFile;
using testsupport::WriteFile;

class WholeFile : public ::testing::Test {
protected:
  void TearDown() override { platform::ClearStreamFaults(); }
  testsupport::TempFolder tmp;
};

TEST_F(WholeFile, FailuresLeaveTheOldFileByteForByteAndNothingBeside) {
  const std::string target = tmp / "SCENERY.CFG";
  EXPECT_EQ(platform::AppendTextAsWhole(target, "created\n"), WriteOutcome::Done);
  EXPECT_EQ(ReadFile(target), "created\r\n");
  EXPECT_EQ(platform::ReplaceWholeFile(target, "old\r\n\x1A"), WriteOutcome::Done);
  EXPECT_EQ(platform::AppendTextAsWhole(target, " tail"),
            WriteOutcome::Done);  // every old byte kept
  EXPECT_EQ(platform::ReadWholeFile(target), "old\r\n\x1A tail");

  const struct {
    platform::StreamFault fault;
    int skip;
  } faults[] = {{platform::StreamFault::Write, 0},
                {platform::StreamFault::Write, 2},
                {platform::StreamFault::Close, 0}};
  for (const auto& f : faults) {
    platform::InjectStreamFault(f.fault, f.skip);
    platform::ReplacementFile file(target);
    ASSERT_TRUE(file.Open());
    for (int chunk = 0; chunk < 4; ++chunk) file.Write("new content ", 12);
    EXPECT_EQ(file.Commit(), WriteOutcome::WriteFailed);
    platform::ClearStreamFaults();
    EXPECT_EQ(ReadFile(target), "old\r\n\x1A tail");
    EXPECT_EQ(ListFolder(tmp.path()), std::vector<std::string>{"SCENERY.CFG"});
  }

  testsupport::MakeDirs(tmp / "Folder");
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "Folder", "x"), WriteOutcome::ReplaceFailed);
  EXPECT_EQ(platform::AppendTextAsWhole(tmp / "Folder", "x"), WriteOutcome::OpenFailed);
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "Missing\\SCENERY.CFG", "x"),
            WriteOutcome::OpenFailed);
  testsupport::MakeReadOnly(target);
  EXPECT_EQ(platform::ReplaceWholeFile(target, "x"), WriteOutcome::ReplaceFailed);
  EXPECT_EQ(ReadFile(target), "old\r\n\x1A tail");
  EXPECT_EQ(ListFolder(tmp.path()), (std::vector<std::string>{"Folder", "SCENERY.CFG"}));
}

// A real full disk, written through a large stream buffer as the file copy does, so that the
// failure comes only when the buffer is written out at the end.
TEST(WholeFileOnASmallDisk, AFullDiskIsSeenAndLeavesTheOldFile) {
  const char* disk = std::getenv("OVPATCH_SMALL_DISK");
  if (!disk || !testsupport::FileExists(std::string(disk) + "\\SMALL_DISK"))
    GTEST_SKIP() << "no small disk mounted (OVPATCH_SMALL_DISK; mounting a tmpfs needs root)";
  const std::string target = std::string(disk) + "\\KEEP.BGL";
  const std::string old(20000, 'o');
  WriteFile(target, old);

  static char streamBuffer[1024 * 1024];
  const std::vector<char> chunk(1000, 'n');
  platform::ReplacementFile file(target);
  ASSERT_TRUE(file.Open(streamBuffer, sizeof streamBuffer));
  for (int i = 0; i < 512; ++i) file.Write(chunk.data(), chunk.size());
  EXPECT_EQ(file.Commit(), WriteOutcome::WriteFailed);
  EXPECT_TRUE(ReadFile(target) == old) << "the old file was replaced";
  EXPECT_EQ(ListFolder(disk), (std::vector<std::string>{"KEEP.BGL", "SMALL_DISK"}));
  platform::RemoveFile(target);
}

}  // namespace
