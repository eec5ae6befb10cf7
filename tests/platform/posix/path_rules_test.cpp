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

TEST(PosixPaths, MoveAcrossFileSystemsCopiesThenRemoves) {
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
  unlink(target.c_str());
}

}  // namespace
