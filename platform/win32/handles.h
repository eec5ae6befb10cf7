#pragma once
// Owners of the Windows handles the host code opens (platform/unique_owner.h): each closes its
// handle on every path out of the function that opened it.
#include <windows.h>

#include "platform/unique_owner.h"

namespace platform::win32 {

// A file, mutex or other kernel object (CreateFileA, CreateMutexA); invalid is
// INVALID_HANDLE_VALUE. A null handle from CreateMutexA is stored as INVALID_HANDLE_VALUE by
// the caller (see FromNullable).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle handle) { return CloseHandle(handle) != 0; }
};
using UniqueHandle = UniqueOwner<KernelHandleTraits>;

// For the calls that report failure with a null handle (CreateMutexA, OpenMutexA).
inline HANDLE FromNullable(HANDLE handle) { return handle ? handle : INVALID_HANDLE_VALUE; }

// A folder search (FindFirstFileA).
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle handle) { return FindClose(handle) != 0; }
};
using UniqueFindHandle = UniqueOwner<FindHandleTraits>;

// An open registry key (RegOpenKeyExA); a predefined root key is never closed.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};
using UniqueRegistryKey = UniqueOwner<RegistryKeyTraits>;

}  // namespace platform::win32
