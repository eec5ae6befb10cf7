#pragma once
// The file services behind platform/files.h: the host's, or while a WriteBatch collects, the
// batch's, which holds back the replacements it is to put on the disk together.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The host's file calls as platform/files.h makes them; each function as its namesake there
// (FolderAcceptsChanges as host::FolderAcceptsChanges in platform/host_files.h).
class FileServices {
public:
  virtual ~FileServices() = default;

  virtual bool PathExists(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  virtual bool IsReadOnlyFile(const std::string& path) = 0;
  // True unless the existing folder `folder` is known to refuse new entries and removals to this
  // process; a plan asks it to foresee what the run would be refused.
  virtual bool FolderAcceptsChanges(const std::string& /*folder*/) { return true; }
  virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
  virtual std::vector<std::string> FolderEntryNames(const std::string& folder) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool MovePath(const std::string& from, const std::string& to) = 0;
  virtual bool ReplaceFileWith(const std::string& from, const std::string& to) = 0;
  virtual FILE* OpenStream(const std::string& path, const char* mode) = 0;
  // True when the calls change the host's files.
  virtual bool ChangesHostFiles() const { return false; }
};

// The real disk.
FileServices& HostFileServices();

// The services platform/files.h uses now: the innermost ScopedFileServices', else the host's.
FileServices& ActiveFileServices();

// Makes `services` the active ones for its lifetime; scopes nest.
class ScopedFileServices {
public:
  explicit ScopedFileServices(FileServices& services);
  ~ScopedFileServices();
  ScopedFileServices(const ScopedFileServices&) = delete;
  ScopedFileServices& operator=(const ScopedFileServices&) = delete;

private:
  FileServices* previous_;
};

}  // namespace platform
