// A plan's disk: refusals as the disk would give them, later questions seeing earlier planned
// changes, and the disk left alone.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_layers/planned_disk.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

std::string ReadAll(platform::Disk& disk, const std::string& path) {
  FILE* stream = disk.OpenToRead(path, true);
  if (!stream) return "<cannot open>";
  std::string text;
  for (int c; (c = std::fgetc(stream)) != EOF;) text += static_cast<char>(c);
  std::fclose(stream);
  return text;
}

TEST(PlannedFiles, AnswerAsTheDiskWouldAfterThePlannedChangesAndChangeNothing) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Old");
  testsupport::WriteFile(tmp / "Old/a.bgl", "content of a");
  testsupport::WriteFile(tmp / "locked.bgl", "locked");
  testsupport::MakeReadOnly(tmp / "locked.bgl");

  {
    platform::PlannedDisk plan(platform::HostDisk());
    EXPECT_FALSE(plan.CreateFolder(tmp / "New\\Child")) << "parent missing";
    EXPECT_TRUE(plan.CreateFolder(tmp / "New"));
    EXPECT_TRUE(plan.CreateFolder(tmp / "NEW\\Child")) << "the planned parent counts";
    EXPECT_TRUE(plan.IsFolder(tmp / "new\\child"));

    EXPECT_FALSE(plan.RemoveFile(tmp / "locked.bgl")) << "read-only";
    EXPECT_FALSE(plan.MovePath(tmp / "Old\\a.bgl", tmp / "LOCKED.BGL")) << "target exists";
    EXPECT_TRUE(plan.MovePath(tmp / "Old", tmp / "New\\Child\\Moved"));
    EXPECT_FALSE(plan.PathExists(tmp / "Old\\a.bgl"));
    EXPECT_EQ("content of a", ReadAll(plan, tmp / "New\\Child\\Moved\\A.BGL"))
        << "read from its old place";
    EXPECT_EQ(std::vector<std::string>{"a.bgl"}, plan.FolderEntryNames(tmp / "New\\Child\\Moved"));

    // A copy reads afterwards as its source; a refused one changes nothing.
    EXPECT_EQ(platform::CopyOutcome::DestinationRefused,
              plan.CopyFile(tmp / "New\\Child\\Moved\\a.bgl", tmp / "locked.bgl", "", nullptr).outcome);
    EXPECT_EQ(platform::CopyOutcome::SourceOpenFailed,
              plan.CopyFile(tmp / "Old\\a.bgl", tmp / "New\\x.bgl", "", nullptr).outcome);
    EXPECT_EQ(platform::CopyOutcome::Done,
              plan.CopyFile(tmp / "New\\Child\\Moved\\a.bgl", tmp / "New\\copy.bgl", "", nullptr).outcome);
    EXPECT_EQ("content of a", ReadAll(plan, tmp / "New\\copy.bgl"));
    EXPECT_EQ(12u, plan.FileSize(tmp / "New\\copy.bgl").value_or(0));

    // Whole-file writes and settings read back as written.
    EXPECT_EQ(platform::WriteOutcome::Done, plan.ReplaceWhole(tmp / "New\\t.ov", "one\r\n", ""));
    EXPECT_EQ(platform::WriteOutcome::Done, plan.AppendText(tmp / "New\\t.ov", "two\n", ""));
    EXPECT_EQ("one\r\ntwo\r\n", ReadAll(plan, tmp / "new\\T.OV"));
    EXPECT_NE(platform::WriteOutcome::Done, plan.ReplaceWhole(tmp / "Missing\\x.txt", "", ""))
        << "no such folder";
    EXPECT_NE(platform::WriteOutcome::Done, plan.ReplaceWhole(tmp / "New", "", "")) << "a folder";
    EXPECT_TRUE(plan.WriteSetting("Settings", "Status", "1", tmp / "New\\s.ini"));
    EXPECT_EQ("1", plan.ReadSetting("SETTINGS", "status", "undefined", 998, tmp / "New\\S.INI"));
    EXPECT_FALSE(plan.WriteSetting("Settings", "Status", "1", tmp / "Missing\\s.ini"));
  }
  EXPECT_EQ((std::vector<std::string>{"Old", "locked.bgl"}), testsupport::ListFolder(tmp.path()));
  EXPECT_EQ("content of a", testsupport::ReadFile(tmp / "Old/a.bgl"));
  EXPECT_FALSE(platform::PathExists(tmp / "New\\copy.bgl")) << "the plan is over";
}

}  // namespace
