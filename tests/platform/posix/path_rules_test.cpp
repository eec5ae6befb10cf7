// Linux-only path rules: drive letters through the Wine prefix, and which of several names that
// differ only in case is taken (on Windows there can be only one).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/posix/path_resolver.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

using testsupport::HostPath;
using testsupport::ScopedEnvironmentVariable;

TEST(PosixPaths, DriveLettersGoThroughTheWinePrefix) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "prefix/drive_c/Program Files/FS9");
  testsupport::MakeDirs(tmp / "prefix/dosdevices");
  ASSERT_EQ(symlink("../drive_c", HostPath(tmp / "prefix/dosdevices/c:").c_str()), 0);
  testsupport::WriteFile(tmp / "prefix/drive_c/Program Files/FS9/SCENERY.CFG", "[General]\r\n");
  ScopedEnvironmentVariable prefix("WINEPREFIX", HostPath(tmp / "prefix"));

  EXPECT_TRUE(platform::PathExists("C:\\Program Files\\FS9\\SCENERY.CFG"));
  EXPECT_TRUE(platform::PathExists("c:/PROGRAM FILES//fs9\\\\scenery.cfg"));
  EXPECT_TRUE(platform::IsFolder("C:\\Program Files\\FS9\\"));
  EXPECT_FALSE(platform::PathExists("D:\\Program Files\\FS9\\SCENERY.CFG"));
  EXPECT_TRUE(platform::CreateFolder("C:\\program files\\fs9\\Addon Scenery"));
  EXPECT_TRUE(testsupport::DirExists(tmp / "prefix/drive_c/Program Files/FS9/Addon Scenery"));

  ScopedEnvironmentVariable noPrefix("WINEPREFIX", std::nullopt);
  const char* home = std::getenv("HOME");
  EXPECT_EQ(platform::posix::WinePrefix(), std::string(home ? home : "") + "/.wine");
}

TEST(PosixPaths, ExactSpellingWinsThenTheFirstNameInByteOrder) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "scenery.cfg", "lower");
  testsupport::WriteFile(tmp / "Scenery.cfg", "mixed");
  testsupport::WriteFile(tmp / "SCENERY.CFG", "upper");
  auto read = [](const std::string& path) {
    FILE* f = platform::OpenStream(path, "rb");
    if (!f) return std::string("<none>");
    char buffer[16] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer, f);
    std::fclose(f);
    return std::string(buffer, n);
  };
  EXPECT_EQ(read(tmp / "scenery.cfg"), "lower");
  EXPECT_EQ(read(tmp / "Scenery.cfg"), "mixed");
  EXPECT_EQ(read(tmp / "sCeNeRy.CfG"), "upper");  // "SCENERY.CFG" sorts first
  EXPECT_TRUE(platform::RemoveFile(tmp / "SCENERY.cfg"));
  EXPECT_EQ(read(tmp / "sCeNeRy.CfG"), "mixed");
}

TEST(PosixPaths, ReadOnlyMeansNoWriteBitEvenForRoot) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "a.bgl", "a");
  ASSERT_EQ(chmod(HostPath(tmp / "a.bgl").c_str(), 0444), 0);
  EXPECT_TRUE(platform::IsReadOnlyFile(tmp / "a.bgl"));
  EXPECT_FALSE(platform::RemoveFile(tmp / "a.bgl"));
  ASSERT_EQ(chmod(HostPath(tmp / "a.bgl").c_str(), 0400 | 0020), 0);  // group may write
  EXPECT_FALSE(platform::IsReadOnlyFile(tmp / "a.bgl"));
  EXPECT_TRUE(platform::RemoveFile(tmp / "a.bgl"));
}

TEST(PosixPaths, MoveAndReplaceAcrossFileSystemsCopyThenRemove) {
  TempFolder tmp;
  const std::string other = "/dev/shm";
  struct stat a, b;
  if (stat(HostPath(tmp.path()).c_str(), &a) != 0 || stat(other.c_str(), &b) != 0 ||
      a.st_dev == b.st_dev)
    GTEST_SKIP() << "no second file system at hand";
  const std::string target = other + "/ovpatch-move-" + std::to_string(getpid()) + ".bgl";
  testsupport::WriteFile(tmp / "a.bgl", std::string(200000, 'z'));
  testsupport::MakeReadOnly(tmp / "a.bgl");
  ASSERT_TRUE(platform::MovePath(tmp / "a.bgl", target));
  EXPECT_FALSE(testsupport::FileExists(tmp / "a.bgl"));
  EXPECT_EQ(testsupport::ReadFile(target), std::string(200000, 'z'));
  EXPECT_TRUE(platform::IsReadOnlyFile(target));
  testsupport::WriteFile(tmp / "b.bgl", "b");
  EXPECT_FALSE(platform::MovePath(tmp / "b.bgl", target)) << "target exists";
  ASSERT_EQ(chmod(target.c_str(), 0644), 0);
  ASSERT_TRUE(platform::ReplaceFileWith(tmp / "b.bgl", target));
  EXPECT_FALSE(testsupport::FileExists(tmp / "b.bgl"));
  EXPECT_EQ(testsupport::ReadFile(target), "b");
  EXPECT_FALSE(testsupport::FileExists(target + ".ovpatch-tmp"));
  unlink(target.c_str());
}

// The contents of `path` through the platform layer, "<none>" when it cannot be opened.
std::string ReadThrough(const std::string& path) {
  FILE* f = platform::OpenStream(path, "rb");
  if (!f) return "<none>";
  char buffer[64] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  return std::string(buffer, n);
}

bool WriteThrough(const std::string& path, const std::string& bytes) {
  FILE* f = platform::OpenStream(path, "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

TEST(FolderIndex, ChangesByOtherProgramsBetweenOperationsAreSeenByTheNext) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "scenery");
  testsupport::WriteFile(tmp / "scenery/b.bgl", "b");
  testsupport::WriteFile(tmp / "scenery/C.bgl", "upper c");
  testsupport::WriteFile(tmp / "scenery/c.bgl", "lower c");
  {
    platform::FileOperationScope first;
    EXPECT_FALSE(platform::PathExists(tmp / "SCENERY\\new.BGL"));
    EXPECT_EQ(ReadThrough(tmp / "SCENERY\\B.BGL"), "b");
    EXPECT_EQ(ReadThrough(tmp / "SCENERY\\c.BGL"), "upper c");
  }
  // Another program adds a file, renames one to other letters and deletes one.
  testsupport::WriteFile(tmp / "scenery/new.bgl", "new");
  ASSERT_EQ(rename(HostPath(tmp / "scenery/b.bgl").c_str(), HostPath(tmp / "scenery/B.BGL").c_str()), 0);
  ASSERT_EQ(unlink(HostPath(tmp / "scenery/C.bgl").c_str()), 0);

  platform::FileOperationScope second;
  EXPECT_EQ(ReadThrough(tmp / "SCENERY\\NEW.BGL"), "new");
  EXPECT_EQ(ReadThrough(tmp / "SCENERY\\b.bgl"), "b");
  EXPECT_EQ(ReadThrough(tmp / "SCENERY\\c.BGL"), "lower c");
}

TEST(FolderIndex, OwnChangesAreSeenAtOnceWithinAnOperation) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Scenery");
  testsupport::WriteFile(tmp / "Scenery/a.bgl", "a");
  testsupport::WriteFile(tmp / "Scenery/Z.bgl", "upper z");
  testsupport::WriteFile(tmp / "Scenery/z.bgl", "lower z");
  ASSERT_EQ(symlink("Scenery", HostPath(tmp / "alias").c_str()), 0);  // one folder, two spellings
  const std::string scenery = tmp / "SCENERY\\";
  platform::FileOperationScope operation;
  EXPECT_EQ(ReadThrough(scenery + "A.BGL"), "a");
  EXPECT_EQ(ReadThrough(tmp / "ALIAS\\A.BGL"), "a");

  EXPECT_TRUE(platform::CreateFolder(scenery + "Sub"));
  EXPECT_TRUE(WriteThrough(scenery + "SUB\\New.bgl", "new"));
  EXPECT_EQ(ReadThrough(tmp / "alias\\sub\\NEW.BGL"), "new");
  EXPECT_EQ(testsupport::ReadFile(tmp / "Scenery/Sub/New.bgl"), "new");

  EXPECT_TRUE(platform::MovePath(scenery + "a.bgl", scenery + "A.xxx"));
  EXPECT_EQ(ReadThrough(tmp / "alias\\a.XXX"), "a");
  EXPECT_FALSE(platform::PathExists(scenery + "a.bgl"));

  EXPECT_TRUE(platform::RemoveFile(scenery + "Z.bgl"));
  EXPECT_EQ(ReadThrough(tmp / "ALIAS\\Z.BGL"), "lower z");

  EXPECT_TRUE(platform::MovePath(scenery + "sub", scenery + "Moved"));
  EXPECT_EQ(ReadThrough(scenery + "MOVED\\new.bgl"), "new");
  EXPECT_FALSE(platform::PathExists(scenery + "SUB\\new.bgl"));
  EXPECT_TRUE(platform::CreateFolder(scenery + "Sub"));  // a new, empty folder where the old one was
  EXPECT_TRUE(WriteThrough(scenery + "SUB\\NEW.BGL", "newer"));
  EXPECT_EQ(testsupport::ListFolder(tmp / "Scenery/Sub"), std::vector<std::string>{"NEW.BGL"});
  EXPECT_EQ(testsupport::ListFolder(tmp / "Scenery"),
            (std::vector<std::string>{"A.xxx", "Moved", "Sub", "z.bgl"}));
}

// Replacements within an operation: a file replaced by itself stays, another name of a replaced
// file keeps the old content, new files get the usual permissions, and nothing is left behind.
TEST(FolderIndex, ReplacementsLeaveNoTraceAndSpareOtherNames) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "a");
  testsupport::WriteFile(tmp / "a/linked.bgl", "shared by two names");
  ASSERT_EQ(link(HostPath(tmp / "a/linked.bgl").c_str(), HostPath(tmp / "a/other.bgl").c_str()), 0);
  testsupport::WriteFile(tmp / "a/one.bgl", "the long old content of one");
  testsupport::WriteFile(tmp / "a/two.bgl", "old two");
  ASSERT_EQ(chmod(HostPath(tmp / "a/one.bgl").c_str(), 0600), 0);
  ASSERT_TRUE(WriteThrough(tmp / "fresh.bgl", ""));
  struct stat fresh, replaced;
  ASSERT_EQ(stat(HostPath(tmp / "fresh.bgl").c_str(), &fresh), 0);
  {
    platform::FileOperationScope operation;
    EXPECT_TRUE(platform::ReplaceFileWith(tmp / "a\\one.bgl", tmp / "A\\ONE.BGL"));  // onto itself
    EXPECT_EQ(ReadThrough(tmp / "a\\one.bgl"), "the long old content of one");
    for (const char* name : {"linked", "one", "two"}) {
      const std::string target = tmp / "a\\" + name + ".bgl";
      ASSERT_TRUE(WriteThrough(target + ".part", std::string("new ") + name));
      EXPECT_TRUE(platform::ReplaceFileWith(target + ".part", target)) << name;
      EXPECT_FALSE(platform::PathExists(target + ".part")) << name;
      EXPECT_EQ(ReadThrough(target), std::string("new ") + name);
    }
  }
  EXPECT_EQ(testsupport::ReadFile(tmp / "a/other.bgl"), "shared by two names");
  EXPECT_EQ(testsupport::ListFolder(tmp / "a"),
            (std::vector<std::string>{"linked.bgl", "one.bgl", "other.bgl", "two.bgl"}));
  ASSERT_EQ(stat(HostPath(tmp / "a/two.bgl").c_str(), &replaced), 0);
  EXPECT_EQ(replaced.st_mode & 07777, fresh.st_mode & 07777);
}

}  // namespace
