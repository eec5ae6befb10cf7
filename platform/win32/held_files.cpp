// Whether another program holds a file, asked of Windows (platform/held_files.h).
#include "platform/held_files.h"

#include <windows.h>

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

}  // namespace

bool FileHeldByAnotherProgram(const std::string& path) {
  const win32::DiskSpelling spelled = win32::SpellAsOnDisk(path);
  if (spelled.missing) return false;
  const DWORD attributes = GetFileAttributesA(spelled.path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  // The access a replacement or deletion needs; a read-only file is asked for reading alone.
  win32::UniqueHandle file = OpenShared(spelled.path, GENERIC_READ | GENERIC_WRITE | DELETE);
  if (!file.IsOpen() && GetLastError() == ERROR_ACCESS_DENIED)
    file = OpenShared(spelled.path, GENERIC_READ);
  if (!file.IsOpen()) return HeldError(GetLastError());
  // A range locked by another program (LockFile) lets the open through but not the reads.
  OVERLAPPED whole{};
  if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                  MAXDWORD, &whole))
    return HeldError(GetLastError());
  UnlockFileEx(file.Get(), 0, MAXDWORD, MAXDWORD, &whole);
  return false;
}

struct HeldFilesAskedTogether::List {};
HeldFilesAskedTogether::HeldFilesAskedTogether() = default;
HeldFilesAskedTogether::~HeldFilesAskedTogether() = default;

std::vector<std::string> FilesHeldNow(const std::vector<std::string>& paths) {
  std::vector<std::string> held;
  for (const std::string& path : paths)
    if (FileHeldByAnotherProgram(path)) held.push_back(path);
  return held;
}

}  // namespace platform
