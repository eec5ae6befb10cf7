// Planned file services: refusals as the disk would give them, later calls seeing earlier planned
// changes, and the disk left alone.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_layers/file_services.h"
#include "platform/files.h"
#include "platform/file_layers/planned_files.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

std::string ReadAll(const std::string& path) {
  FILE* stream = platform::OpenStream(path, "rb");
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

  platform::PlannedFileServices plan(platform::HostFileServices());
  {
    platform::ScopedFileServices use(plan);
    EXPECT_FALSE(platform::CreateFolder(tmp / "New\\Child")) << "parent missing";
    EXPECT_TRUE(platform::CreateFolder(tmp / "New"));
    EXPECT_TRUE(platform::CreateFolder(tmp / "NEW\\Child")) << "the planned parent counts";
    EXPECT_TRUE(platform::IsFolder(tmp / "new\\child"));

    EXPECT_FALSE(platform::RemoveFile(tmp / "locked.bgl")) << "read-only";
    EXPECT_FALSE(platform::MovePath(tmp / "Old\\a.bgl", tmp / "LOCKED.BGL")) << "target exists";
    EXPECT_TRUE(platform::MovePath(tmp / "Old", tmp / "New\\Child\\Moved"));
    EXPECT_FALSE(platform::PathExists(tmp / "Old\\a.bgl"));
    EXPECT_EQ("content of a", ReadAll(tmp / "New\\Child\\Moved\\A.BGL"))
        << "read from its old place";
    EXPECT_EQ(std::vector<std::string>{"a.bgl"},
              platform::FolderEntryNames(tmp / "New\\Child\\Moved"));

    // A copy: read, written to a scratch file, put in place; afterwards it reads as its source.
    FILE* in = platform::OpenStream(tmp / "New\\Child\\Moved\\a.bgl", "rb");
    ASSERT_NE(nullptr, in);
    FILE* out = platform::OpenStream(tmp / "copy.tmp", "wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(4u, std::fwrite("junk", 1, 4, out));
    std::fclose(out);
    std::fclose(in);
    EXPECT_FALSE(platform::ReplaceFileWith(tmp / "copy.tmp", tmp / "locked.bgl")) << "read-only";
    EXPECT_TRUE(platform::ReplaceFileWith(tmp / "copy.tmp", tmp / "New\\copy.bgl"));
    EXPECT_EQ("content of a", ReadAll(tmp / "New\\copy.bgl"));
    EXPECT_EQ(12u, platform::FileSize(tmp / "New\\copy.bgl").value_or(0));
    EXPECT_EQ(nullptr, platform::OpenStream(tmp / "Missing\\x.txt", "w")) << "no such folder";
    EXPECT_EQ(nullptr, platform::OpenStream(tmp / "New", "a")) << "a folder";
  }
  EXPECT_EQ((std::vector<std::string>{"Old", "locked.bgl"}), testsupport::ListFolder(tmp.path()));
  EXPECT_EQ("content of a", testsupport::ReadFile(tmp / "Old/a.bgl"));
  EXPECT_EQ(nullptr, platform::OpenStream(tmp / "New\\copy.bgl", "rb")) << "the plan is over";
}

}  // namespace
