#pragma once
// Files written as a whole: the new content goes to a file beside the target and takes the target's
// place only once every byte is written and on the disk, so a failure at any point (a full disk, a
// killed process, a power cut) leaves the target exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class WriteOutcome {
  Done,           // the target now holds the new content; inside a WriteBatch, the new file is
                  // written and its size checked, and the batch puts it in place when it settles
  OpenFailed,     // the new file could not be created beside the target
  WriteFailed,    // a write, the flush to disk or the close failed, or the size on disk was wrong
  ReplaceFailed,  // the target could not be replaced (read-only, a folder, locked)
};

// The scratch file a replacement of `target` is written to: in the same folder, named as the
// target with its last character replaced by "~" ("$" when that is a "~" already), as in
// "AIRPORT.BG~". Its path is never longer than the target's, so every file the system can write
// can be replaced, and the simulator never loads one left behind as scenery.
std::string ScratchPathFor(const std::string& target);

// Where a ReplacementFile writes a target that does not exist yet. One that exists is always
// written beside it and put in its place, so that it is never left damaged.
enum class NewTarget {
  kBesideThenMoved,  // as one that exists: a crash leaves no file of the target's name
  kWrittenInPlace,   // created under its own name and put on the disk: one flush less, but a crash
                     // can leave an unfinished file of that name, so only for files that are
                     // checked before they are used (a backup). Outside a WriteBatch only: in one,
                     // the move costs nothing beside the batch's shared flush
};

// A new file that is to replace `target`. Nothing happens on disk before Open; unless Commit puts
// it in place, the new file is removed again.
class ReplacementFile {
public:
  explicit ReplacementFile(std::string target, NewTarget newTarget = NewTarget::kBesideThenMoved);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates the new file (ScratchPathFor(target), or the target itself as NewTarget allows), with
  // `streamBuffer` as its write buffer when one is given. False when it cannot be created.
  bool Open(char* streamBuffer = nullptr, size_t bufferSize = 0);
  // Appends `size` bytes. False when the write failed; Commit then fails without replacing.
  bool Write(const void* data, size_t size);
  // Flushes the new file to the disk, closes it, checks that its size is the number of bytes
  // written and puts it in place of the target. Anything but Done leaves the target untouched.
  // Within a WriteBatch, the flush and the move wait for the batch to settle: Done then means
  // queued, and a failure to put the file in place is reported by WriteBatch::Settle.
  WriteOutcome Commit();

private:
  void Discard();

  std::string target_;
  NewTarget newTarget_;
  std::string temporary_;  // the file written: the scratch file, or the target written in place
  FILE* stream_ = nullptr;
  std::uint64_t written_ = 0;
  bool writeFailed_ = false;
};

// The bytes of the file `path`, read in binary; nullopt when it cannot be opened or read to its
// end.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when `a` and `b` are both readable files with the same bytes on the host's disk; false when
// either is missing, a folder, or cannot be read to its end (content_hash.h has the same for any
// Disk).
bool SameFileBytes(const std::string& a, const std::string& b);

// Replaces the file `path`, or creates it, with `bytes`, as a whole (see ReplacementFile).
WriteOutcome ReplaceWholeFile(const std::string& path, const std::string& bytes);

// Appends `text` to the file `path` as text mode "a" does (each "\n" written as CR LF, a missing
// file created), but as a whole (see ReplacementFile): OpenFailed when the file exists and cannot
// be read, and the old bytes are kept exactly as they were.
WriteOutcome AppendTextAsWhole(const std::string& path, const std::string& text);

}  // namespace platform
