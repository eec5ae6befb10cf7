#pragma once
// The disk of a plan: it reads the disk it is given but only records what would be written, and
// answers later questions as the disk would look after the recorded changes.
#include <map>
#include <memory>
#include <string>

#include "platform/file_layers/disk_interface.h"

namespace platform {

// Reads through `disk`; creations, deletions, renames, copies and writes succeed or fail as they
// would there (missing parent folder, existing target, read-only file, folder in the way, a folder
// that refuses changes, a source that cannot be read or does not hold the expected bytes) and are
// kept in memory only: a copy reads afterwards as its source, a rewritten or appended file as its
// new content (kept in a scratch file of the system's temporary folder), a setting as written.
// Paths match as ComparablePath (platform/strings.h) spells them: without regard to letter case,
// "/" and "\" alike.
class PlannedDisk : public Disk {
public:
  explicit PlannedDisk(Disk& disk);
  ~PlannedDisk() override;

  bool PathExists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool IsReadOnlyFile(const std::string& path) override;
  bool FolderAcceptsChanges(const std::string& folder) override;
  std::optional<uint64_t> FileSize(const std::string& path) override;
  std::vector<std::string> FolderEntryNames(const std::string& folder) override;
  FILE* OpenToRead(const std::string& path, bool binary) override;
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& fallback, size_t bufferSize,
                          const std::string& file) override;

  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MovePath(const std::string& from, const std::string& to) override;
  CopyResult CopyFile(const std::string& source, const std::string& destination,
                      const std::string& label, const ContentStamp* expected,
                      NewTarget newTarget = NewTarget::kBesideThenMoved) override;
  WriteOutcome ReplaceWhole(const std::string& path, const std::string& bytes,
                            const std::string& what) override;
  WriteOutcome AppendText(const std::string& path, const std::string& text,
                          const std::string& what) override;
  bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) override;
  void StartCopies() override {}
  std::vector<FailedReplacement> FinishCopies() override { return {}; }
  bool ChangesHostFiles() const override { return false; }

private:
  enum class State { Absent, File, Folder };
  // A name as the plan has left it. `origin` is the path on `disk_` (or a scratch file) that holds
  // its content (a file or folder moved or copied there); empty for a folder made by the plan or a
  // file whose content is unknown.
  struct Entry {
    State state = State::Absent;
    std::string origin;
    bool readOnly = false;
    std::string name;  // the last component as spelled
  };

  // `path` as the plan has left it; OnDisk: as the disk holds it under `diskPath`.
  Entry Find(const std::string& path);
  Entry OnDisk(const std::string& diskPath, const std::string& path);
  bool ParentIsFolder(const std::string& path);
  // False when the folder holding `path` is on the disk and refuses changes to this process.
  bool ParentAcceptsChanges(const std::string& path);
  void Set(const std::string& path, Entry entry);
  // Whether `path` may be written as a whole: not a folder or read-only, in a folder that takes it.
  bool CanWriteWhole(const std::string& path);
  // A scratch file outside every folder of the plan holding `bytes`; "" when none can be made.
  std::string KeepContent(const std::string& bytes);

  Disk& disk_;
  std::map<std::string, Entry> changed_;  // by comparable name
  // Settings written, by comparable file name, then "SECTION\nKEY" in upper case.
  std::map<std::string, std::map<std::string, std::string>> settings_;
  std::vector<std::string> scratchFiles_;
};

}  // namespace platform
