#pragma once
// File services for a plan: they read the disk but only record what would be written, and answer
// later calls as the disk would look after the recorded changes.
#include <map>
#include <string>

#include "platform/file_layers/file_services.h"

namespace platform {

// Reads through `disk`; creations, deletions, renames and writes succeed or fail as they would
// there (missing parent folder, existing target, read-only file, folder in the way, a folder that
// refuses changes) and are kept in memory only. A stream opened for writing writes nowhere; a file
// written with "wb" right after a file was opened with "rb" reads afterwards as a copy of that
// file. Paths match as ComparablePath (platform/strings.h) spells them: without regard to letter
// case, "/" and "\" alike.
class PlannedFileServices : public FileServices {
public:
  explicit PlannedFileServices(FileServices& disk);

  bool PathExists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool IsReadOnlyFile(const std::string& path) override;
  std::optional<uint64_t> FileSize(const std::string& path) override;
  std::vector<std::string> FolderEntryNames(const std::string& folder) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MovePath(const std::string& from, const std::string& to) override;
  bool ReplaceFileWith(const std::string& from, const std::string& to) override;
  FILE* OpenStream(const std::string& path, const char* mode) override;

private:
  enum class State { Absent, File, Folder };
  // A name as the plan has left it. `origin` is the disk path that holds its content (a file or
  // folder moved or copied there); empty for a folder made by the plan or a file whose content
  // is unknown.
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

  FileServices& disk_;
  std::map<std::string, Entry> changed_;  // by comparable name
  std::string lastBinaryRead_;            // origin of the last file opened with "rb"
};

}  // namespace platform
