// Whether another program holds a file, asked of Windows (platform/held_files.h).
#include "platform/held_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/held_files.h"
#include "platform/win32/name_index.h"

namespace platform {
namespace {

using win32::HeldError;

// The file opened with `access` and every kind of sharing; INVALID_HANDLE_VALUE with the error
// when it cannot be.
win32::UniqueHandle OpenShared(const std::string& path, DWORD access) {
  return win32::UniqueHandle(CreateFileA(path.c_str(), access,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Whether another program holds the file `spelled` (its name as on disk). It asks the system
// only, so it may run on any thread.
bool HeldAsSpelled(const std::string& spelled) {
  // The access a replacement or deletion needs; a read-only file is asked for reading alone. A
  // folder cannot be opened so (access denied) and a missing file not at all: neither is held.
  win32::UniqueHandle file = OpenShared(spelled, GENERIC_READ | GENERIC_WRITE | DELETE);
  if (!file.IsOpen() && GetLastError() == ERROR_ACCESS_DENIED)
    file = OpenShared(spelled, GENERIC_READ);
  if (!file.IsOpen()) return HeldError(GetLastError());
  // A range locked by another program (LockFile) lets the open through but not the reads.
  OVERLAPPED whole{};
  if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                  MAXDWORD, &whole))
    return HeldError(GetLastError());
  UnlockFileEx(file.Get(), 0, MAXDWORD, MAXDWORD, &whole);
  return false;
}

// Runs task(0) .. task(count - 1), spread over this thread and a few more: each question of a
// held file is an open, a lock and a close that mostly wait on the system, so several can wait at
// once. A short list stays on this thread.
class SpreadWork {
public:
  SpreadWork(size_t count, const std::function<void(size_t)>& task) : count_(count), task_(task) {}

  void Run() {
    constexpr size_t kMoreThreads = 3;
    constexpr size_t kTasksPerThread = 32;
    std::vector<HANDLE> threads;
    for (size_t i = 0; i < std::min(kMoreThreads, count_ / kTasksPerThread); ++i)
      if (HANDLE thread = CreateThread(nullptr, 0, &SpreadWork::Work, this, 0, nullptr))
        threads.push_back(thread);
    Work(this);
    if (!threads.empty())
      WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads) CloseHandle(thread);
  }

private:
  static DWORD WINAPI Work(void* self) {
    auto& work = *static_cast<SpreadWork*>(self);
    for (size_t task; (task = work.next_++) < work.count_;) work.task_(task);
    return 0;
  }

  const size_t count_;
  const std::function<void(size_t)>& task_;
  std::atomic<size_t> next_{0};
};

}  // namespace

bool FileHeldByAnotherProgram(const std::string& path) {
  const win32::DiskSpelling spelled = win32::SpellAsOnDisk(path);
  return !spelled.missing && HeldAsSpelled(spelled.path);
}

struct HeldFilesAskedTogether::List {};
HeldFilesAskedTogether::HeldFilesAskedTogether() = default;
HeldFilesAskedTogether::~HeldFilesAskedTogether() = default;

std::vector<std::string> FilesHeldNow(const std::vector<std::string>& paths) {
  // The names are spelled here, where the name index lives; only the questions are spread.
  std::vector<const std::string*> asked;
  std::vector<std::string> spelled;
  for (const std::string& path : paths) {
    win32::DiskSpelling spelling = win32::SpellAsOnDisk(path);
    if (spelling.missing) continue;  // held by no one
    asked.push_back(&path);
    spelled.push_back(std::move(spelling.path));
  }
  std::vector<char> heldAt(spelled.size(), 0);
  SpreadWork(spelled.size(), [&](size_t i) { heldAt[i] = HeldAsSpelled(spelled[i]); }).Run();
  std::vector<std::string> held;
  for (size_t i = 0; i < asked.size(); ++i)
    if (heldAt[i]) held.push_back(*asked[i]);
  return held;
}

}  // namespace platform
