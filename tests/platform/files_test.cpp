// File services: existence, folders, deletion, moves and case-insensitive names, checked against
// what the Windows calls do.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "platform/file_layers/whole_file.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/stream_io.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

TEST(Files, ExistenceCoversFilesAndFoldersWithoutRegardToCase) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Scenery/World");
  testsupport::WriteFile(tmp / "Scenery/World/Terrain.bgl", "x");

  EXPECT_TRUE(platform::PathExists(tmp / "Scenery\\World\\Terrain.bgl"));
  EXPECT_TRUE(platform::PathExists(tmp / "SCENERY\\world\\TERRAIN.BGL"));
  EXPECT_TRUE(platform::PathExists(tmp / "scenery\\World"));
  EXPECT_FALSE(platform::PathExists(tmp / "Scenery\\World\\Missing.bgl"));
  EXPECT_FALSE(platform::PathExists(tmp / "Missing\\Terrain.bgl"));
  EXPECT_FALSE(platform::PathExists(""));

  EXPECT_TRUE(platform::IsFolder(tmp / "SCENERY\\WORLD"));
  EXPECT_FALSE(platform::IsFolder(tmp / "Scenery\\World\\Terrain.bgl"));
  EXPECT_FALSE(platform::IsFolder(tmp / "Missing"));
}

TEST(Files, CreateFolderMakesOneLevelAndReusesAnExistingName) {
  TempFolder tmp;
  EXPECT_TRUE(platform::CreateFolder(tmp / "Addon"));
  EXPECT_TRUE(testsupport::DirExists(tmp / "Addon"));
  EXPECT_FALSE(platform::CreateFolder(tmp / "Addon")) << "exists already";
  EXPECT_FALSE(platform::CreateFolder(tmp / "ADDON")) << "exists under another case";
  EXPECT_FALSE(platform::CreateFolder(tmp / "Missing\\Child")) << "parent missing";
  EXPECT_FALSE(testsupport::DirExists(tmp / "Missing"));

  // A new name below an existing folder spelled in another case lands in that folder.
  EXPECT_TRUE(platform::CreateFolder(tmp / "ADDON\\Scenery"));
  EXPECT_EQ(testsupport::ListFolder(tmp.path()), std::vector<std::string>{"Addon"});
  EXPECT_EQ(testsupport::ListFolder(tmp / "Addon"), std::vector<std::string>{"Scenery"});
}

TEST(Files, RemoveFileDeletesFilesOnly) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "old.bgl", "x");
  testsupport::MakeDirs(tmp / "folder.bgl");
  testsupport::WriteFile(tmp / "locked.bgl", "keep");
  testsupport::MakeReadOnly(tmp / "locked.bgl");

  EXPECT_TRUE(platform::RemoveFile(tmp / "OLD.BGL"));
  EXPECT_FALSE(testsupport::FileExists(tmp / "old.bgl"));
  EXPECT_FALSE(platform::RemoveFile(tmp / "old.bgl")) << "already gone";
  EXPECT_FALSE(platform::RemoveFile(tmp / "folder.bgl"));
  EXPECT_TRUE(testsupport::DirExists(tmp / "folder.bgl"));
  EXPECT_TRUE(platform::IsReadOnlyFile(tmp / "locked.bgl"));
  EXPECT_FALSE(platform::RemoveFile(tmp / "locked.bgl"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "locked.bgl"), "keep");
}

TEST(Files, MovePathWorksAcrossFoldersAndNeverReplaces) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "from");
  testsupport::MakeDirs(tmp / "To");
  testsupport::WriteFile(tmp / "from/a.bgl", "A");
  testsupport::WriteFile(tmp / "from/b.bgl", "B");
  testsupport::WriteFile(tmp / "To/b.xxx", "old");

  EXPECT_TRUE(platform::MovePath(tmp / "from\\a.bgl", tmp / "to\\a.xxx"));
  EXPECT_FALSE(testsupport::FileExists(tmp / "from/a.bgl"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "To/a.xxx"), "A");

  EXPECT_FALSE(platform::MovePath(tmp / "from\\b.bgl", tmp / "To\\B.XXX")) << "target exists";
  EXPECT_EQ(testsupport::ReadFile(tmp / "from/b.bgl"), "B");
  EXPECT_EQ(testsupport::ReadFile(tmp / "To/b.xxx"), "old");

  EXPECT_FALSE(platform::MovePath(tmp / "from\\none.bgl", tmp / "To\\none.bgl"));
  EXPECT_FALSE(platform::MovePath(tmp / "from\\b.bgl", tmp / "Missing\\b.bgl"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "from/b.bgl"), "B");

  // Folders move too.
  EXPECT_TRUE(platform::MovePath(tmp / "from", tmp / "moved"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "moved/b.bgl"), "B");
}

TEST(Files, ReadOnlyFileMovesButCannotBeReplaced) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "locked.bgl", "locked");
  testsupport::MakeReadOnly(tmp / "locked.bgl");
  testsupport::WriteFile(tmp / "new.bgl", "new");

  EXPECT_FALSE(platform::ReplaceFileWith(tmp / "new.bgl", tmp / "locked.bgl"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "locked.bgl"), "locked");
  EXPECT_EQ(testsupport::ReadFile(tmp / "new.bgl"), "new");

  EXPECT_TRUE(platform::MovePath(tmp / "locked.bgl", tmp / "locked.xxx"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "locked.xxx"), "locked");
  EXPECT_TRUE(platform::IsReadOnlyFile(tmp / "locked.xxx"));
  EXPECT_FALSE(platform::IsReadOnlyFile(tmp / "new.bgl"));
  EXPECT_FALSE(platform::IsReadOnlyFile(tmp / "missing.bgl"));
}

TEST(Files, ReplaceFileWithSwapsContentInOneStep) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "SCENERY.CFG", "old");
  testsupport::WriteFile(tmp / "scenery.new", "new");
  testsupport::WriteFile(tmp / "other.new", "other");
  testsupport::MakeDirs(tmp / "folder");

  EXPECT_TRUE(platform::ReplaceFileWith(tmp / "scenery.new", tmp / "SCENERY.CFG"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "SCENERY.CFG"), "new");
  EXPECT_FALSE(testsupport::FileExists(tmp / "scenery.new"));
  EXPECT_EQ(testsupport::ListFolder(tmp.path()), (std::vector<std::string>{"SCENERY.CFG", "folder", "other.new"}));

  EXPECT_FALSE(platform::ReplaceFileWith(tmp / "other.new", tmp / "folder"));
  EXPECT_EQ(testsupport::ReadFile(tmp / "other.new"), "other");
  EXPECT_TRUE(platform::ReplaceFileWith(tmp / "other.new", tmp / "fresh.cfg")) << "target may be missing";
  EXPECT_EQ(testsupport::ReadFile(tmp / "fresh.cfg"), "other");
}

TEST(Files, WritingReusesAnExistingNameInAnyCase) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Scenery");
  testsupport::WriteFile(tmp / "Scenery/Title.ov", "old");

  FILE* f = platform::OpenStream(tmp / "SCENERY\\TITLE.OV", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("new", f);
  std::fclose(f);
  EXPECT_EQ(testsupport::ListFolder(tmp / "Scenery"), std::vector<std::string>{"Title.ov"});
  EXPECT_EQ(testsupport::ReadFile(tmp / "Scenery/Title.ov"), "new");

  testsupport::WriteFile(tmp / "Scenery/a.bgl", "a");
  EXPECT_TRUE(platform::MovePath(tmp / "scenery\\A.BGL", tmp / "SCENERY\\a.xxx"));
  EXPECT_EQ(testsupport::ListFolder(tmp / "Scenery"), (std::vector<std::string>{"Title.ov", "a.xxx"}));
}

// Within one operation the host may keep what it has read of folders: names are still found in
// any letter case, the operation's own changes are seen at once (also a file the profile call
// creates), and the next operation sees what another program changed in between.
TEST(Files, AnOperationSeesItsOwnChangesAtOnceAndOthersInTheNext) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Scenery");
  testsupport::WriteFile(tmp / "Scenery/a.bgl", "a");
  {
    platform::FileOperationScope operation;
    EXPECT_EQ(platform::FileSize(tmp / "SCENERY\\A.BGL"), 1u);
    FILE* growing = platform::OpenStream(tmp / "Scenery\\a.bgl", "ab");
    ASSERT_NE(growing, nullptr);
    EXPECT_EQ(platform::FileSize(tmp / "Scenery\\A.bgl"), 1u);
    EXPECT_TRUE(platform::WriteBytes(growing, "bc", 2));
    EXPECT_TRUE(platform::CloseStream(growing));
    EXPECT_EQ(platform::FileSize(tmp / "SCENERY\\A.BGL"), 3u);
    EXPECT_FALSE(platform::PathExists(tmp / "scenery\\b.xxx"));
    EXPECT_EQ(platform::ReplaceWholeFile(tmp / "SCENERY\\New.bgl", "new"),
              platform::WriteOutcome::Done);
    EXPECT_TRUE(platform::PathExists(tmp / "scenery\\NEW.BGL"));
    EXPECT_TRUE(platform::MovePath(tmp / "Scenery\\A.BGL", tmp / "Scenery\\b.xxx"));
    EXPECT_FALSE(platform::PathExists(tmp / "scenery\\a.bgl"));
    EXPECT_TRUE(platform::PathExists(tmp / "SCENERY\\B.XXX"));
    EXPECT_TRUE(platform::RemoveFile(tmp / "scenery\\new.BGL"));
    EXPECT_FALSE(platform::IsReadOnlyFile(tmp / "Scenery\\New.bgl"));
    EXPECT_FALSE(platform::PathExists(tmp / "Scenery\\New.bgl"));
    EXPECT_TRUE(platform::CreateFolder(tmp / "Scenery\\Sub"));
    EXPECT_TRUE(platform::IsFolder(tmp / "SCENERY\\SUB\\"));
    EXPECT_TRUE(platform::WriteProfileValue("Settings", "Status", "1", tmp / "Scenery\\Sub\\X.INI"));
    EXPECT_TRUE(platform::PathExists(tmp / "scenery\\sub\\x.ini"));
    const std::optional<uint64_t> iniSize = platform::FileSize(tmp / "Scenery\\Sub\\X.INI");
    EXPECT_TRUE(
        platform::WriteProfileValue("Settings", "Status", "12", tmp / "Scenery\\Sub\\X.INI"));
    EXPECT_EQ(platform::FileSize(tmp / "Scenery\\Sub\\X.INI"), iniSize.value_or(0) + 1);
    // Each folder is read once per operation: what another program adds now shows in the next.
    testsupport::WriteFile(tmp / "Scenery/later.bgl", "by another program");
    EXPECT_FALSE(platform::PathExists(tmp / "SCENERY\\LATER.BGL"));
  }
  platform::FileOperationScope next;
  EXPECT_TRUE(platform::PathExists(tmp / "SCENERY\\LATER.BGL"));
  EXPECT_EQ(testsupport::ListFolder(tmp / "Scenery"),
            (std::vector<std::string>{"Sub", "b.xxx", "later.bgl"}));
}

TEST(Files, CurrentFolderAnchorsRelativePaths) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "work");
  testsupport::WriteFile(tmp / "work/CREATE.OV", "list");
  testsupport::ScopedCurrentFolder restore(tmp.path());

  ASSERT_TRUE(platform::SetCurrentFolder(tmp / "WORK"));
  EXPECT_TRUE(platform::PathExists("create.ov"));
  EXPECT_TRUE(platform::PathExists(platform::CurrentFolder() + "\\CREATE.OV"));
  FILE* f = platform::OpenStream("Create.ov", "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_FALSE(platform::SetCurrentFolder(tmp / "missing"));
}

}  // namespace
