// The real disk: every call goes to platform/files.h and platform/profile.h; copies are made
// whole (platform/file_layers/whole_file.h), and between StartCopies and FinishCopies put on the
// disk together (platform/file_layers/write_batch.h).
#include <memory>

#include "platform/file_layers/content_hash.h"
#include "platform/file_layers/disk_interface.h"
#include "platform/file_layers/file_services.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/stream_io.h"

namespace platform {
namespace {

// One chunk of a copy; shared by every copy, so a copy allocates nothing.
constexpr size_t kChunkSize = 1000;
char g_copyChunk[kChunkSize];

// Larger stream buffers than the default keep the 1000-byte chunks cheap on big files.
constexpr size_t kStreamBufferSize = 1024 * 1024;
char g_sourceStreamBuffer[kStreamBufferSize];
char g_destinationStreamBuffer[kStreamBufferSize];

CopyResult Failed(CopyOutcome outcome, const std::string& path) {
  CopyResult result;
  result.outcome = outcome;
  result.failedPath = path;
  return result;
}

class RealDisk : public Disk {
public:
  bool PathExists(const std::string& path) override { return platform::PathExists(path); }
  bool IsFolder(const std::string& path) override { return platform::IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return platform::IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return ActiveFileServices().FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return platform::FileSize(path);
  }
  std::optional<std::string> FileVersion(const std::string& path) override {
    // Asked after a replacement of the file still held back has been made (FileSize settles it).
    if (!platform::FileSize(path)) return std::nullopt;
    return host::FileVersion(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return platform::FolderEntryNames(folder);
  }
  FILE* OpenToRead(const std::string& path, bool binary) override {
    return OpenStream(path, binary ? "rb" : "r");
  }
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& fallback, size_t bufferSize,
                          const std::string& file) override {
    return ReadProfileString(section, key, fallback, bufferSize, file);
  }

  bool CreateFolder(const std::string& path) override { return platform::CreateFolder(path); }
  bool RemoveFile(const std::string& path) override { return platform::RemoveFile(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return platform::MovePath(from, to);
  }
  CopyResult CopyFile(const std::string& source, const std::string& destination,
                      const std::string& label, const ContentStamp* expected,
                      NewTarget newTarget) override;
  WriteOutcome ReplaceWhole(const std::string& path, const std::string& bytes,
                            const std::string& /*what*/) override {
    return ReplaceWholeFile(path, bytes);
  }
  WriteOutcome AppendText(const std::string& path, const std::string& text,
                          const std::string& /*what*/) override {
    return AppendTextAsWhole(path, text);
  }
  bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) override {
    return WriteProfileValue(section, key, value, file);
  }

  void StartCopies() override {
    if (!batch_) batch_ = std::make_unique<WriteBatch>();
  }
  std::vector<FailedReplacement> FinishCopies() override {
    if (!batch_) return {};
    std::vector<FailedReplacement> failures = batch_->Settle();
    batch_.reset();
    return failures;
  }
  bool ChangesHostFiles() const override { return true; }

private:
  std::unique_ptr<WriteBatch> batch_;
};

CopyResult RealDisk::CopyFile(const std::string& source, const std::string& destination,
                              const std::string& /*label*/, const ContentStamp* expected,
                              NewTarget newTarget) {
  // The system would refuse either path, whatever else is true of it.
  for (const std::string* path : {&source, &destination})
    if (PathTooLong(*path)) return Failed(CopyOutcome::PathTooLong, *path);

  UniqueStream in(OpenStream(source, "rb"));
  if (!in) return Failed(CopyOutcome::SourceOpenFailed, source);

  // Checked up front: a read-only or folder destination would otherwise only fail at the very end.
  if (platform::IsReadOnlyFile(destination) || platform::IsFolder(destination))
    return Failed(CopyOutcome::DestinationRefused, destination);

  // Written beside the destination, which it replaces only once every byte is on the disk (or,
  // where `newTarget` allows, a destination that does not exist yet written in place).
  ReplacementFile out(destination, newTarget);
  if (!out.Open(g_destinationStreamBuffer, kStreamBufferSize))
    return Failed(CopyOutcome::DestinationRefused, destination);
  setvbuf(in.get(), g_sourceStreamBuffer, _IOFBF, kStreamBufferSize);

  ContentHasher hasher;
  for (;;) {
    const size_t count = ReadBytes(in.get(), g_copyChunk, kChunkSize);
    if (count == 0) break;
    hasher.Add(g_copyChunk, count);
    if (!out.Write(g_copyChunk, count)) break;
  }
  // The source is closed before the new file is moved into place (the two may be the same file).
  const bool readFailed = ReadFailed(in.get());
  in.reset();
  if (readFailed) return Failed(CopyOutcome::ReadFailed, source);

  CopyResult result;
  result.copied = hasher.Stamp();
  // A source that is not what the caller expected replaces nothing: the new file is discarded.
  if (expected && !(result.copied == *expected)) {
    result.outcome = CopyOutcome::SourceDiffers;
    result.failedPath = source;
    return result;
  }
  switch (out.Commit()) {
    case WriteOutcome::Done:
      return result;
    case WriteOutcome::WriteFailed:
      return Failed(CopyOutcome::WriteFailed, destination);
    default:
      return Failed(CopyOutcome::DestinationRefused, destination);
  }
}

}  // namespace

Disk& HostDisk() {
  static RealDisk disk;
  return disk;
}

}  // namespace platform
