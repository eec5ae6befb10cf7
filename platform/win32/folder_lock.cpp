#include "platform/folder_lock.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <set>
#include <thread>

#include "platform/strings.h"
#include "platform/win32/handles.h"

namespace platform {
namespace {

constexpr DWORD kTakeByte = kFolderLockTakeByte;
constexpr DWORD kMarkByte = kFolderLockMarkByte;
constexpr auto kMarkPatience = kFolderLockMarkPatience;

bool LockByte(HANDLE file, DWORD byte, bool exclusive) {
  OVERLAPPED at{};
  at.Offset = byte;
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return LockFileEx(file, flags, 0, 1, 0, &at) != 0;
}

void UnlockByte(HANDLE file, DWORD byte) {
  OVERLAPPED at{};
  at.Offset = byte;
  UnlockFileEx(file, 0, 1, 0, &at);
}

win32::UniqueHandle OpenLockFile(const std::string& folder, bool create) {
  const DWORD access = create ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  return win32::UniqueHandle(CreateFileA(JoinPath(folder, kFolderLockFileName).c_str(), access,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct LockFileHold : FolderLock::Hold {
  explicit LockFileHold(win32::UniqueHandle handle) : file(std::move(handle)) {}
  ~LockFileHold() override {
    if (!locked) return;
    UnlockByte(file.Get(), kMarkByte);
    UnlockByte(file.Get(), kTakeByte);
  }
  win32::UniqueHandle file;
  bool locked = false;
};

// The names of the folder mutexes this process holds: a mutex is granted again to the thread that
// owns it, so a second take within the process is refused here instead.
std::set<std::string>& HeldMutexNames() {
  static std::set<std::string> names;
  return names;
}

// The name of the mutex of `folder`, the same for every spelling of it (letter case, short
// names, another drive letter or share for the same disk): built from the volume's serial
// number and the folder's file index. nullopt when the folder cannot be opened.
std::optional<std::string> FolderMutexName(const std::string& folder) {
  const win32::UniqueHandle handle(
      CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!handle.IsOpen() || !GetFileInformationByHandle(handle.Get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return std::nullopt;
  char name[64];
  std::snprintf(name, sizeof name, "Global\\OVPatch.folder.%08lX.%08lX%08lX",
                static_cast<unsigned long>(info.dwVolumeSerialNumber),
                static_cast<unsigned long>(info.nFileIndexHigh),
                static_cast<unsigned long>(info.nFileIndexLow));
  return std::string(name);
}

struct MutexHold : FolderLock::Hold {
  MutexHold(win32::UniqueHandle handle, std::string mutexName)
      : mutex(std::move(handle)), name(std::move(mutexName)) {
    HeldMutexNames().insert(name);
  }
  ~MutexHold() override {
    ReleaseMutex(mutex.Get());
    mutex.Close();
    HeldMutexNames().erase(name);
  }
  win32::UniqueHandle mutex;
  std::string name;
};

FolderLockResult TakeLockFile(const std::string& folder, std::unique_ptr<FolderLock::Hold>& held) {
  auto hold = std::make_unique<LockFileHold>(OpenLockFile(folder, true));
  if (!hold->file.IsOpen()) return FolderLockResult::kUnavailable;
  if (!LockByte(hold->file.Get(), kTakeByte, true)) {
    return GetLastError() == ERROR_LOCK_VIOLATION ? FolderLockResult::kBusy
                                                  : FolderLockResult::kUnavailable;
  }
  hold->locked = true;
  const auto giveUp = std::chrono::steady_clock::now() + kMarkPatience;
  while (!LockByte(hold->file.Get(), kMarkByte, true)) {
    if (GetLastError() != ERROR_LOCK_VIOLATION) return FolderLockResult::kUnavailable;
    if (std::chrono::steady_clock::now() > giveUp) return FolderLockResult::kBusy;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  held = std::move(hold);
  return FolderLockResult::kTaken;
}

// A named mutex is released by the system when its owner ends (the next owner is told it was
// abandoned, which changes nothing here) and vanishes with the last handle to it.
FolderLockResult TakeFolderMutex(const std::string& folder,
                                 std::unique_ptr<FolderLock::Hold>& held) {
  const std::optional<std::string> name = FolderMutexName(folder);
  if (!name) return FolderLockResult::kUnavailable;
  if (HeldMutexNames().count(*name) != 0) return FolderLockResult::kBusy;
  win32::UniqueHandle mutex(win32::FromNullable(CreateMutexA(nullptr, FALSE, name->c_str())));
  // Made by a program of another user or elevation, and so held by it.
  if (!mutex.IsOpen()) {
    return GetLastError() == ERROR_ACCESS_DENIED ? FolderLockResult::kBusy
                                                 : FolderLockResult::kUnavailable;
  }
  const DWORD wait = WaitForSingleObject(mutex.Get(), 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return FolderLockResult::kBusy;
  held = std::make_unique<MutexHold>(std::move(mutex), *name);
  return FolderLockResult::kTaken;
}

}  // namespace

FolderLockResult FolderLock::TryTake(const std::string& folder, FolderLockPlace place) {
  Release();
  return place == FolderLockPlace::kLockFile ? TakeLockFile(folder, held_)
                                             : TakeFolderMutex(folder, held_);
}

bool FolderLockTaken(const std::string& folder, FolderLockPlace place) {
  if (place == FolderLockPlace::kNoFile) {
    // Only holders keep the mutex open for longer than a moment, so while it exists it is held.
    const std::optional<std::string> name = FolderMutexName(folder);
    if (!name) return false;
    const win32::UniqueHandle mutex(
        win32::FromNullable(OpenMutexA(SYNCHRONIZE, FALSE, name->c_str())));
    return mutex.IsOpen() || GetLastError() == ERROR_ACCESS_DENIED;
  }
  const win32::UniqueHandle file = OpenLockFile(folder, false);
  if (!file.IsOpen()) return false;
  const bool free = LockByte(file.Get(), kMarkByte, false);
  const bool taken = !free && GetLastError() == ERROR_LOCK_VIOLATION;
  if (free) UnlockByte(file.Get(), kMarkByte);
  return taken;
}

}  // namespace platform
