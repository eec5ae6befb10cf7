#pragma once
// The disk as the patch operations use it: the questions they ask and the changes they mean, one
// call each. Every operation is handed one: the host's (HostDisk), a plan's that changes nothing
// and answers as the disk would look after its changes (planned_disk.h), or a journal's that tells
// each change made through it (journaled_disk.h).
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_layers/whole_file.h"
#include "platform/file_layers/write_batch.h"

namespace platform {

// A file's content as the install record keeps it: its size and a hash of its bytes (32 hex
// digits, platform/file_layers/content_hash.h).
struct ContentStamp {
  uint64_t size = 0;
  std::string hash;
  bool operator==(const ContentStamp&) const = default;
};

enum class CopyOutcome {
  Done,                // the destination holds the source's bytes; within StartCopies, queued
  PathTooLong,         // `failedPath` is longer than the system accepts
  SourceOpenFailed,    // the source cannot be opened (missing, a folder, held)
  DestinationRefused,  // the destination is read-only or a folder, or no new file can be made
  ReadFailed,          // the source could not be read to its end
  WriteFailed,         // the new file could not be written whole (a full disk)
  ReplaceFailed,       // the new file could not take the destination's place
  SourceDiffers,       // the source does not hold the bytes the caller expected: nothing changed
};

struct CopyResult {
  CopyOutcome outcome = CopyOutcome::Done;
  std::string failedPath;  // the path a failure is about
  ContentStamp copied;     // Done and SourceDiffers: the size and hash of the source's bytes
};

// One change made (or, in a plan, to be made) through a disk.
struct DiskChange {
  enum class Kind { CreateFolder, Delete, Rename, Copy, Replace, Append, Setting };
  Kind kind = Kind::CreateFolder;
  std::string path;    // the folder or file changed; a rename's new name; a copy's destination
  std::string source;  // a rename's old name; the file a copy reads
  std::string what;    // Replace and Append: what, in words; Setting: "Key=value in [Section]"
  std::string label;   // Copy: the status text shown before it
  uint64_t bytes = 0;  // Copy: its size
  bool overwrote = false;  // Copy: the destination existed before
  bool failed = false;
};

enum class ChangeTense { Planned, Done };

// One line for the change: "create folder X" / "created folder X", "copy A over B" / "copied A
// over B", "cannot rename A to B" / "could not rename A to B", ...
std::string DescribeChange(const DiskChange& change, ChangeTense tense);

class Disk {
public:
  virtual ~Disk() = default;

  // Questions, answered for the disk as the changes made through this Disk have left it.
  virtual bool PathExists(const std::string& path) = 0;  // a file or a folder
  virtual bool IsFolder(const std::string& path) = 0;
  virtual bool IsReadOnlyFile(const std::string& path) = 0;
  // False when the existing folder is known to refuse new entries and removals to this process.
  virtual bool FolderAcceptsChanges(const std::string& folder) = 0;
  virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;  // nullopt: no file
  // A token of the file's present version, asked without reading it: while it stays the same,
  // the file holds the bytes it held when the token was first given. nullopt when the disk cannot
  // tell, or when the file changed too recently for a later change to show.
  virtual std::optional<std::string> FileVersion(const std::string& /*path*/) {
    return std::nullopt;
  }
  virtual std::vector<std::string> FolderEntryNames(const std::string& folder) = 0;
  // A stream to read the file: text mode as the Windows C runtime's, or binary. nullptr when it
  // cannot be opened.
  virtual FILE* OpenToRead(const std::string& path, bool binary) = 0;
  // As platform::ReadProfileString.
  virtual std::string ReadSetting(const std::string& section, const std::string& key,
                                  const std::string& fallback, size_t bufferSize,
                                  const std::string& file) = 0;

  // Changes. Each returns what became of it; none leaves a file half written.
  virtual bool CreateFolder(const std::string& path) = 0;  // one level; false when it exists
  virtual bool RemoveFile(const std::string& path) = 0;    // files only
  virtual bool MovePath(const std::string& from, const std::string& to) = 0;  // `to` must be free
  // Copies `source` over or to `destination` as a whole. `label` is the status text shown before
  // it, for the journal. With `expected`, the copy replaces nothing unless the source's bytes have
  // that stamp (SourceDiffers otherwise), and the source is still read only once. `newTarget`:
  // how a destination that does not exist yet is written (whole_file.h); nothing that fails is
  // left under its name either way.
  virtual CopyResult CopyFile(const std::string& source, const std::string& destination,
                              const std::string& label, const ContentStamp* expected = nullptr,
                              NewTarget newTarget = NewTarget::kBesideThenMoved) = 0;
  // Replaces the file's content, or creates it, with `bytes`; `what` names it in words.
  virtual WriteOutcome ReplaceWhole(const std::string& path, const std::string& bytes,
                                    const std::string& what) = 0;
  // Appends `text` as text mode "a" does (each "\n" as CR LF), rewriting the file as a whole.
  virtual WriteOutcome AppendText(const std::string& path, const std::string& text,
                                  const std::string& what) = 0;
  // As platform::WriteProfileValue.
  virtual bool WriteSetting(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& file) = 0;

  // Copies made between StartCopies and FinishCopies may be put on the disk together: each Done
  // then means queued, and FinishCopies puts them in place and returns those that failed. The
  // questions still see each copy as made.
  virtual void StartCopies() = 0;
  virtual std::vector<FailedReplacement> FinishCopies() = 0;

  // True when the changes reach the real disk (not a plan's).
  virtual bool ChangesHostFiles() const = 0;
};

// The real disk, through platform/files.h.
Disk& HostDisk();

}  // namespace platform
