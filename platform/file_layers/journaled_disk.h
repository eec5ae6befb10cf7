#pragma once
// A disk that tells each change made through it, for a change log, a plan or the install record.
#include <functional>
#include <string>
#include <vector>

#include "platform/file_layers/disk_interface.h"

namespace platform {

// Passes every call on to `target` and hands each change to `onChange` with what became of it: at
// once, except a copy made between StartCopies and FinishCopies, which is told when FinishCopies
// has put it in place (or failed to). Questions are passed on untold.
class JournaledDisk : public Disk {
public:
  JournaledDisk(Disk& target, std::function<void(const DiskChange&)> onChange);

  bool PathExists(const std::string& path) override { return target_.PathExists(path); }
  bool IsFolder(const std::string& path) override { return target_.IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return target_.IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return target_.FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return target_.FileSize(path);
  }
  std::optional<std::string> FileVersion(const std::string& path) override {
    return target_.FileVersion(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return target_.FolderEntryNames(folder);
  }
  FILE* OpenToRead(const std::string& path, bool binary) override {
    return target_.OpenToRead(path, binary);
  }
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& fallback, size_t bufferSize,
                          const std::string& file) override {
    return target_.ReadSetting(section, key, fallback, bufferSize, file);
  }

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
  void StartCopies() override;
  std::vector<FailedReplacement> FinishCopies() override;
  bool ChangesHostFiles() const override { return target_.ChangesHostFiles(); }

private:
  Disk& target_;
  std::function<void(const DiskChange&)> onChange_;
  bool collecting_ = false;
  std::vector<DiskChange> queuedCopies_;  // made since StartCopies, told at FinishCopies
};

}  // namespace platform
