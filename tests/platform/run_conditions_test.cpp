// What decides whether an install or removal can start: the disk's allocation unit and whether a
// folder takes a new file, a running FS9.EXE, and files another program holds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/disk_space.h"
#include "platform/files.h"
#include "platform/held_files.h"
#include "platform/running_programs.h"
#include "platform/stream_io.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

// True when `condition` holds within five seconds.
bool Eventually(const std::function<bool()>& condition) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Our own program under another name (FS9.EXE).
void CopyBusyProgram(const std::string& to) {
  std::filesystem::copy_file(OVPATCH_BUSY_PROGRAM_PATH, testsupport::HostPath(to));
  std::filesystem::permissions(testsupport::HostPath(to), std::filesystem::perms::owner_all);
}

TEST(RunConditions, AllocationUnitsAndANewFileOfTheFolder) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "Sub");
  testsupport::WriteFile(tmp / "FILE.TXT", "x");
  const std::optional<uint64_t> unit = platform::AllocationUnit(tmp.path());
  ASSERT_TRUE(unit.has_value());
  EXPECT_GE(*unit, 512u);
  EXPECT_EQ(platform::DiskIdentity(tmp.path()), platform::DiskIdentity(tmp / "Sub"));
  const struct {
    uint64_t bytes, unit, rounded;
  } sizes[] = {{0, 4096, 0}, {1, 4096, 4096}, {4096, 4096, 4096}, {4097, 4096, 8192}, {5, 0, 5}};
  for (const auto& size : sizes)
    EXPECT_EQ(platform::RoundUpToUnits(size.bytes, size.unit), size.rounded) << size.bytes;

  EXPECT_TRUE(platform::FolderAcceptsNewFiles(tmp.path()));
  EXPECT_EQ(testsupport::ListFolder(tmp.path()), (std::vector<std::string>{"FILE.TXT", "Sub"}))
      << "the probe leaves nothing behind";
  EXPECT_FALSE(platform::FolderAcceptsNewFiles(tmp / "FILE.TXT")) << "a file where a folder is";
  EXPECT_FALSE(platform::FolderAcceptsNewFiles(tmp / "Missing"));

  const char* disk = std::getenv("OVPATCH_SMALL_DISK");
  if (!disk || !testsupport::FileExists(std::string(disk) + "\\SMALL_DISK"))
    GTEST_SKIP() << "no small disk mounted (OVPATCH_SMALL_DISK; mounting a tmpfs needs root)";
  const std::string filler = std::string(disk) + "\\FILLER";
  {
    platform::UniqueStream fill(platform::OpenStream(filler, "wb"));
    ASSERT_TRUE(fill);
    const std::string block(4096, 'f');
    while (std::fwrite(block.data(), 1, block.size(), fill.get()) == block.size() &&
           std::fflush(fill.get()) == 0) {
    }
  }
  EXPECT_FALSE(platform::FolderAcceptsNewFiles(disk)) << "a full disk";
  platform::RemoveFile(filler);
  EXPECT_TRUE(platform::FolderAcceptsNewFiles(disk));
  EXPECT_EQ(testsupport::ListFolder(disk), (std::vector<std::string>{"SMALL_DISK"}));
}

TEST(RunConditions, ARunningProgramIsFoundByItsFile) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "FS9");
  testsupport::MakeDirs(tmp / "Other");
  const std::string program = tmp / "FS9\\FS9.EXE";
  CopyBusyProgram(program);
  CopyBusyProgram(tmp / "Other\\FS9.EXE");
  EXPECT_FALSE(platform::ProgramFileRunning(program));

  testsupport::ChildProcess running(testsupport::HostPath(program), {});
  ASSERT_TRUE(running.Started());
  EXPECT_TRUE(Eventually([&] { return platform::ProgramFileRunning(tmp / "fs9\\fs9.exe"); }))
      << "names compare without regard to case";
  EXPECT_FALSE(platform::ProgramFileRunning(tmp / "Other\\FS9.EXE")) << "same name, other file";
  EXPECT_FALSE(platform::ProgramFileRunning(tmp / "Missing\\FS9.EXE"));
  running.Kill();
  EXPECT_TRUE(Eventually([&] { return !platform::ProgramFileRunning(program); }));
}

TEST(RunConditions, AHeldFileIsWaitedForAndThenNamedAsHeld) {
  TempFolder tmp;
  const std::string briefly = tmp / "BRIEFLY.BGL", longer = tmp / "LONGER.BGL";
  testsupport::WriteFile(briefly, "b");
  testsupport::WriteFile(longer, "l");
  EXPECT_FALSE(platform::FileHeldByAnotherProgram(briefly));

  {
    testsupport::ChildProcess holder(OVPATCH_BUSY_PROGRAM_PATH,
                                     {"hold", briefly, "600", "ready", tmp / "READY"});
    ASSERT_TRUE(testsupport::WaitForFile(tmp / "READY", 10));
    EXPECT_TRUE(platform::FileHeldByAnotherProgram(briefly));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(platform::RemoveFile(briefly)) << "released within the wait";
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  }

  testsupport::ChildProcess holder(OVPATCH_BUSY_PROGRAM_PATH,
                                   {"hold", longer, "0", "ready", tmp / "READY2"});
  ASSERT_TRUE(testsupport::WaitForFile(tmp / "READY2", 10));
  testsupport::WriteFile(tmp / "NEW.BG~", "new");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(platform::RemoveFile(longer));
  EXPECT_GE(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(platform::kHeldFileWaitMilliseconds));
  EXPECT_FALSE(platform::ReplaceFileWith(tmp / "NEW.BG~", longer));
  {
    // Asked together from one look at every program's locks, the held file refuses all the same.
    const platform::HeldFilesAskedTogether together;
    EXPECT_FALSE(platform::ReplaceFileWith(tmp / "NEW.BG~", longer));
  }
  EXPECT_EQ(platform::OpenStream(longer, "wb"), nullptr);
  EXPECT_EQ(platform::FilesStillHeld({briefly, longer}), (std::vector<std::string>{longer}));
  // A long list is asked at once, each answer in its place.
  std::vector<std::string> many;
  for (int i = 0; i < 100; ++i) {
    many.push_back(tmp / ("MANY" + std::to_string(i) + ".BGL"));
    testsupport::WriteFile(many.back(), "m");
  }
  many[57] = longer;
  EXPECT_EQ(platform::FilesHeldNow(many), (std::vector<std::string>{longer}));
  holder.Kill();
  EXPECT_TRUE(platform::FilesStillHeld({longer}).empty());
  const platform::HeldFilesAskedTogether together;
  EXPECT_TRUE(platform::ReplaceFileWith(tmp / "NEW.BG~", longer));
  EXPECT_EQ(testsupport::ReadFile(longer), "new");
}

}  // namespace
