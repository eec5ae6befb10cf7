#include "platform/file_layers/write_batch.h"

#include <unordered_set>
#include <utility>

#include "platform/file_layers/file_services.h"
#include "platform/held_files.h"
#include "platform/host_files.h"
#include "platform/name_listings.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

WriteBatch* g_collectingBatch = nullptr;

// What every spelling of a file's name has in common: its last component in upper case as the
// system compares names (platform/text.h), without the trailing dots and spaces Windows ignores.
// Two paths of one file (other letter case, other separators, "." and ".." on the way) give the
// same key; "" when the path ends in no name.
std::string NameKey(const std::string& path) {
  std::string name = LastPathComponent(path);
  if (!IsEntryName(name)) return "";
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return UpperCase(name);
}

}  // namespace

// Passes every call on to the services that were active before, holding back ReplaceFileWith.
class WriteBatch::Services : public FileServices {
public:
  explicit Services(FileServices& target) : target_(target), scope_(*this) {}

  bool PathExists(const std::string& path) override {
    SettleIfNamed(path);
    return target_.PathExists(path);
  }
  bool IsFolder(const std::string& path) override {
    SettleIfNamed(path);
    return target_.IsFolder(path);
  }
  bool IsReadOnlyFile(const std::string& path) override {
    SettleIfNamed(path);
    return target_.IsReadOnlyFile(path);
  }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return target_.FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    SettleIfNamed(path);
    return target_.FileSize(path);
  }
  FILE* OpenStream(const std::string& path, const char* mode) override {
    SettleIfNamed(path);
    return target_.OpenStream(path, mode);
  }
  bool ChangesHostFiles() const override { return target_.ChangesHostFiles(); }

  // A listing or a change of names could involve any file of the batch.
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    SettleEarly();
    return target_.FolderEntryNames(folder);
  }
  bool CreateFolder(const std::string& path) override {
    SettleEarly();
    return target_.CreateFolder(path);
  }
  bool RemoveFile(const std::string& path) override {
    SettleEarly();
    return target_.RemoveFile(path);
  }
  bool MovePath(const std::string& from, const std::string& to) override {
    SettleEarly();
    return target_.MovePath(from, to);
  }

  bool ReplaceFileWith(const std::string& from, const std::string& to) override {
    // A second replacement of the same target goes after the first.
    SettleIfNamed(from);
    SettleIfNamed(to);
    const std::string fromKey = NameKey(from);
    const std::string toKey = NameKey(to);
    if (fromKey.empty() || toKey.empty()) return target_.ReplaceFileWith(from, to);
    pending_.push_back({from, to});
    pendingNames_.insert(fromKey);
    pendingNames_.insert(toKey);
    return true;
  }

  std::vector<FailedReplacement> Settle() {
    SettleEarly();
    return std::exchange(failures_, {});
  }

private:
  struct Pending {
    std::string newFile;
    std::string target;
  };

  void SettleIfNamed(const std::string& path) {
    if (pending_.empty()) return;
    const std::string key = NameKey(path);
    if (key.empty() || pendingNames_.count(key)) SettleEarly();
  }

  // The new files go on the disk first, all together; only then does each replace its target.
  void SettleEarly() {
    if (pending_.empty()) return;
    std::vector<std::string> newFiles;
    newFiles.reserve(pending_.size());
    for (const Pending& pending : pending_) newFiles.push_back(pending.newFile);
    const bool onDisk = host::FlushFilesTogether(newFiles);
    const HeldFilesAskedTogether askedTogether;
    for (const Pending& pending : pending_) {
      if (!onDisk) {
        target_.RemoveFile(pending.newFile);
        failures_.push_back({pending.target, WriteOutcome::WriteFailed});
      } else if (!target_.ReplaceFileWith(pending.newFile, pending.target)) {
        target_.RemoveFile(pending.newFile);
        failures_.push_back({pending.target, WriteOutcome::ReplaceFailed});
      }
    }
    pending_.clear();
    pendingNames_.clear();
  }

  FileServices& target_;
  ScopedFileServices scope_;
  std::vector<Pending> pending_;
  std::unordered_set<std::string> pendingNames_;  // NameKey of every new file and target
  std::vector<FailedReplacement> failures_;
};

WriteBatch::WriteBatch() {
  // One batch collects at a time; an inner one leaves its calls to the outer.
  if (g_collectingBatch || !host::CanFlushFilesTogether() ||
      !ActiveFileServices().ChangesHostFiles())
    return;
  services_ = std::make_unique<Services>(ActiveFileServices());
  g_collectingBatch = this;
}

WriteBatch::~WriteBatch() {
  if (!services_) return;
  services_->Settle();
  g_collectingBatch = nullptr;
}

std::vector<FailedReplacement> WriteBatch::Settle() {
  return services_ ? services_->Settle() : std::vector<FailedReplacement>{};
}

bool WriteBatch::Collecting() {
  return g_collectingBatch && &ActiveFileServices() == g_collectingBatch->services_.get();
}

}  // namespace platform
