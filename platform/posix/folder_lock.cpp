#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"
#include "platform/strings.h"

namespace platform {
namespace {

constexpr off_t kTakeByte = kFolderLockTakeByte;
constexpr off_t kMarkByte = kFolderLockMarkByte;
constexpr auto kMarkPatience = kFolderLockMarkPatience;

// Open file description locks: owned by the open file, so that they conflict between two opens in
// one process, vanish with the last descriptor, and conflict with Wine's process-owned locks.
bool SetByteLock(int fd, short type, off_t byte) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True when another open file holds a lock on `byte` that a write lock would conflict with.
bool ByteLockedElsewhere(int fd, off_t byte) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

bool IsConflict(int error) { return error == EAGAIN || error == EACCES || error == EWOULDBLOCK; }

// The locks vanish when the descriptor closes.
struct DescriptorHold : FolderLock::Hold {
  explicit DescriptorHold(posix::UniqueDescriptor descriptor) : fd(std::move(descriptor)) {}
  posix::UniqueDescriptor fd;
};

// The lock file of `folder`: made when missing and opened for writing, which a write lock needs,
// or only opened to look at; not open when it cannot be.
posix::UniqueDescriptor OpenLockFile(const std::string& folder, bool create) {
  const std::string host = posix::HostPath(JoinPath(folder, kFolderLockFileName));
  posix::UniqueDescriptor fd(
      open(host.c_str(), O_CLOEXEC | (create ? O_RDWR | O_CREAT : O_RDONLY), 0666));
  if (fd.IsOpen() && create) posix::NoteCreated(host);
  return fd;
}

posix::UniqueDescriptor OpenFolder(const std::string& folder) {
  return posix::UniqueDescriptor(
      open(posix::HostPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

FolderLockResult TakeLockFile(int fd) {
  if (!SetByteLock(fd, F_WRLCK, kTakeByte))
    return IsConflict(errno) ? FolderLockResult::kBusy : FolderLockResult::kUnavailable;
  const auto giveUp = std::chrono::steady_clock::now() + kMarkPatience;
  while (!SetByteLock(fd, F_WRLCK, kMarkByte)) {
    if (!IsConflict(errno)) return FolderLockResult::kUnavailable;
    if (std::chrono::steady_clock::now() > giveUp) return FolderLockResult::kBusy;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return FolderLockResult::kTaken;
}

// A folder cannot be opened for writing, so it takes no write lock: flock excludes the takers,
// and a read lock on the mark byte lets FolderLockTaken see the holder without taking anything.
FolderLockResult TakeFolder(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0)
    return IsConflict(errno) ? FolderLockResult::kBusy : FolderLockResult::kUnavailable;
  SetByteLock(fd, F_RDLCK, kMarkByte);
  return FolderLockResult::kTaken;
}

}  // namespace

FolderLockResult FolderLock::TryTake(const std::string& folder, FolderLockPlace place) {
  Release();
  const bool lockFile = place == FolderLockPlace::kLockFile;
  auto hold =
      std::make_unique<DescriptorHold>(lockFile ? OpenLockFile(folder, true) : OpenFolder(folder));
  if (!hold->fd.IsOpen()) return FolderLockResult::kUnavailable;
  const int fd = hold->fd.Get();
  const FolderLockResult result = lockFile ? TakeLockFile(fd) : TakeFolder(fd);
  if (result == FolderLockResult::kTaken) held_ = std::move(hold);
  return result;
}

bool FolderLockTaken(const std::string& folder, FolderLockPlace place) {
  const bool lockFile = place == FolderLockPlace::kLockFile;
  const posix::UniqueDescriptor look = lockFile ? OpenLockFile(folder, false) : OpenFolder(folder);
  return look.IsOpen() && ByteLockedElsewhere(look.Get(), lockFile ? kTakeByte : kMarkByte);
}

}  // namespace platform
