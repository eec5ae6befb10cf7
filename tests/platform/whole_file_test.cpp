// Whole-file writes: the new content replaces the old file only when every byte of it is on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/file_layers/content_hash.h"
#include "platform/file_layers/disk_interface.h"
#include "platform/file_layers/whole_file.h"
#include "platform/file_layers/write_batch.h"
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

// A target that does not exist yet may be written in place (one flush, no move): a failure leaves
// nothing of its name, and a target that exists still goes through a file beside it.
TEST_F(WholeFile, ANewTargetWrittenInPlaceLeavesNothingWhenItFails) {
  const std::string target = tmp / "NEW_ORIG.BGL";
  const auto write = [&](bool fails) {
    if (fails) platform::InjectStreamFault(platform::StreamFault::Write, 1);
    platform::ReplacementFile file(target, platform::NewTarget::kWrittenInPlace);
    EXPECT_TRUE(file.Open());
    const std::vector<std::string> whileOpen = ListFolder(tmp.path());
    for (int chunk = 0; chunk < 4; ++chunk) file.Write("backup ", 7);
    EXPECT_EQ(file.Commit(), fails ? WriteOutcome::WriteFailed : WriteOutcome::Done);
    platform::ClearStreamFaults();
    return whileOpen;
  };
  EXPECT_EQ(write(true), std::vector<std::string>{"NEW_ORIG.BGL"});
  EXPECT_TRUE(ListFolder(tmp.path()).empty());
  EXPECT_EQ(write(false), std::vector<std::string>{"NEW_ORIG.BGL"});
  EXPECT_EQ(ReadFile(target), "backup backup backup backup ");
  EXPECT_EQ(write(true), (std::vector<std::string>{"NEW_ORIG.BGL", "NEW_ORIG.BG~"}));
  EXPECT_EQ(ReadFile(target), "backup backup backup backup ");
  EXPECT_EQ(ListFolder(tmp.path()), std::vector<std::string>{"NEW_ORIG.BGL"});

  // A copy whose source is not what was expected leaves no new file either.
  const platform::ContentStamp other{1, "0"};
  const platform::NewTarget inPlace = platform::NewTarget::kWrittenInPlace;
  EXPECT_EQ(platform::HostDisk().CopyFile(target, tmp / "COPY.BGL", "", &other, inPlace).outcome,
            platform::CopyOutcome::SourceDiffers);
  EXPECT_EQ(ListFolder(tmp.path()), std::vector<std::string>{"NEW_ORIG.BGL"});
}

// Where the host flushes many files at once, a batch holds its replacements back, yet every look
// through the file services sees them made; one refused at the end leaves its target as it was.
TEST_F(WholeFile, ABatchLooksDoneAtOnceAndReportsWhatItCouldNotPutInPlace) {
  WriteFile(tmp / "A.BGL", "old a");
  WriteFile(tmp / "B.BGL", "old b");
  platform::WriteBatch batch;
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "A.BGL", "new a"), WriteOutcome::Done);
  EXPECT_EQ(platform::ReadWholeFile(tmp / "a.bgl"), "new a") << "seen under another spelling";
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "B.BGL", "first"), WriteOutcome::Done);
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "B.BGL", "second"), WriteOutcome::Done);
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "C.BGL", "new c"), WriteOutcome::Done);
  EXPECT_EQ(platform::FolderEntryNames(tmp.path()),
            (std::vector<std::string>{"A.BGL", "B.BGL", "C.BGL"}));

  // Made read-only behind the services' back while the replacement is held.
  EXPECT_EQ(platform::ReplaceWholeFile(tmp / "B.BGL", "third"), WriteOutcome::Done);
  const bool held = platform::WriteBatch::Collecting();
  testsupport::MakeReadOnly(tmp / "B.BGL");
  const std::vector<platform::FailedReplacement> failures = batch.Settle();
  if (held) {
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].target, tmp / "B.BGL");
    EXPECT_EQ(failures[0].outcome, WriteOutcome::ReplaceFailed);
    EXPECT_EQ(ReadFile(tmp / "B.BGL"), "second");
  } else {
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(ReadFile(tmp / "B.BGL"), "third");
  }
  EXPECT_EQ(ReadFile(tmp / "A.BGL"), "new a");
  EXPECT_EQ(ReadFile(tmp / "C.BGL"), "new c");
  EXPECT_EQ(ListFolder(tmp.path()), (std::vector<std::string>{"A.BGL", "B.BGL", "C.BGL"}));
}

// One read answers several content checks: the first candidate with the same bytes is found,
// whatever sizes the files have, where they differ, and which candidates are missing or folders.
TEST_F(WholeFile, FirstWithSameBytesFindsTheFirstEqualCandidate) {
  const uint32_t seed = std::random_device{}();
  std::mt19937 rng(seed);
  const size_t sizes[] = {0, 1, 4095, 4096, 4097, 70000, 140000};
  for (int round = 0; round < 40 && !HasFailure(); ++round) {
    std::string bytes(sizes[rng() % std::size(sizes)], '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    const std::string path = tmp / "FILE.BGL";
    WriteFile(path, bytes);
    std::vector<std::string> candidates;
    std::optional<size_t> expected;
    for (size_t i = 0, count = rng() % 5; i < count; ++i) {
      const std::string candidate = tmp / ("C" + std::to_string(round) + "_" + std::to_string(i));
      std::string content = bytes;
      switch (rng() % 5) {
        case 0: break;  // missing
        case 1: testsupport::MakeDirs(candidate); break;
        case 2:
          if (content.empty()) content = "x";
          else content[rng() % content.size()] ^= 1;
          WriteFile(candidate, content);
          break;
        case 3: WriteFile(candidate, content + "x"); break;
        default:
          WriteFile(candidate, content);
          if (!expected) expected = i;
      }
      candidates.push_back(candidate);
    }
    EXPECT_EQ(platform::FirstWithSameBytes(platform::HostDisk(), path, candidates), expected)
        << "size " << bytes.size() << ", seed " << seed;
  }
  platform::InjectStreamFault(platform::StreamFault::Read);
  EXPECT_EQ(platform::FirstWithSameBytes(platform::HostDisk(), tmp / "FILE.BGL", {tmp / "FILE.BGL"}), std::nullopt);
  EXPECT_EQ(platform::FirstWithSameBytes(platform::HostDisk(), tmp / "MISSING.BGL", {tmp / "MISSING.BGL"}), std::nullopt);
}

// Records written on one host and processor are read on another: the stamp is XXH3-128 of the
// bytes however they are handed over, on every processor.
TEST(ContentStamp, IsTheSameXxh3OfTheBytesEverywhere) {
  std::string bytes(100003, '\0');
  unsigned state = 1;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  const platform::ContentStamp whole = platform::StampOfBytes(bytes);
  EXPECT_EQ(whole.hash, "858d0eb193a0ad908ae51ccfe5c5e4aa");
  EXPECT_EQ(whole.size, bytes.size());
  platform::ContentHasher pieces;
  for (size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece * 3 % 4097 + 1)
    pieces.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
  EXPECT_TRUE(pieces.Stamp() == whole);
}

// A run reads a file again only when its version has changed: every change must change it.
TEST_F(WholeFile, AFileVersionChangesWithEveryChangeOfTheFile) {
  platform::Disk& disk = platform::HostDisk();
  const std::string path = tmp / "FILE.BGL";
  const auto written = std::chrono::steady_clock::now();
  WriteFile(path, "before");
  const std::optional<std::string> fresh = disk.FileVersion(path);
  // A file changed less than 100 ms ago has none (a slow machine may have let that time pass).
  if (std::chrono::steady_clock::now() - written < std::chrono::milliseconds(90)) {
    EXPECT_EQ(fresh, std::nullopt) << "changed a moment ago";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  const std::optional<std::string> settled = disk.FileVersion(path);
  if (!settled) GTEST_SKIP() << "this host gives no file versions";
  EXPECT_EQ(disk.FileVersion(path), settled);
  WriteFile(path, "after!");  // the same size
  const std::optional<std::string> changed = disk.FileVersion(path);
  EXPECT_TRUE(!changed || changed != settled);
  EXPECT_EQ(disk.FileVersion(tmp / "MISSING.BGL"), std::nullopt);
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
