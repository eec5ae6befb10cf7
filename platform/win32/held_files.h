#pragma once
// Held files on Windows, for the host's file calls (platform/win32/files.cpp).
#include <windows.h>

namespace platform::win32 {

// True when `error` (GetLastError, _doserrno) says another program holds the file: it denies
// sharing or has locked a range of it.
inline bool HeldError(unsigned long error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace platform::win32
