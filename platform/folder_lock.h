#pragma once
// Locks between processes on a folder whose contents a process is about to change. The system
// releases a lock when the process that holds it ends, however it ends, so none is ever left
// behind. Taking never waits for a holder.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Where a folder's lock is kept.
enum class FolderLockPlace {
  // A byte range far beyond the end of the empty file OVPATCH.LCK, made in the folder when
  // missing and never removed: for the program's own folder. The Windows build under Wine and
  // the Linux build see each other's locks here.
  kLockFile,
  // Nothing is added to the folder: for a folder of the user's. Each build sees only the locks
  // of its own kind of program (Windows programs, Wine's included, or Linux programs).
  kNoFile,
};

enum class FolderLockResult {
  kTaken,        // held until Release or destruction
  kBusy,         // another holder has it; nothing held
  kUnavailable,  // the folder or its lock file cannot be opened; nothing held
};

// One lock held on one folder. Within one process a folder's lock is taken once: a second
// FolderLock of the same folder gets kBusy while the first holds it.
// Each host's folder_lock.cpp implements TryTake and FolderLockTaken.
class FolderLock {
public:
  // Tries to take the lock of `folder`, releasing any this object held before.
  FolderLockResult TryTake(const std::string& folder, FolderLockPlace place);
  void Release() { held_.reset(); }
  bool Held() const { return held_ != nullptr; }

  // What the host keeps for a held lock; released when destroyed.
  struct Hold {
    virtual ~Hold() = default;
  };

private:
  std::unique_ptr<Hold> held_;
};

// True when the lock of `folder` is held now, by another process or by a FolderLock of this one.
// Looking never makes a taker fail.
bool FolderLockTaken(const std::string& folder, FolderLockPlace place);

// The name of the lock file that kLockFile makes in the folder.
inline constexpr const char* kFolderLockFileName = "OVPATCH.LCK";

// The bytes of the lock file that both builds lock, so that they see each other's locks: far
// beyond its end, below 2^31 so that a Wine server built without large-file offsets passes their
// locks on to the host too. Takers compete for the first; a holder also keeps the second, which a
// look at the lock tests with a shared lock of a moment.
inline constexpr uint32_t kFolderLockTakeByte = 2'000'000'000;
inline constexpr uint32_t kFolderLockMarkByte = kFolderLockTakeByte + 1;
// How long a taker that has won the take byte waits for such a look to let go of the mark byte.
inline constexpr std::chrono::seconds kFolderLockMarkPatience{2};

}  // namespace platform
