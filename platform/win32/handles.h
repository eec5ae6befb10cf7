#pragma once
// Owners of the Windows handles the host code opens: each closes its handle on every path out of
// the function that opened it, and can hand it over or close it early to learn the result.
#include <windows.h>

#include <utility>

namespace platform::win32 {

// Owns a handle of kind `Traits` (its invalid value and how it is closed).
template <typename Traits>
class UniqueOwner {
public:
  using Handle = typename Traits::Handle;

  UniqueOwner() = default;
  explicit UniqueOwner(Handle handle) : handle_(handle) {}
  ~UniqueOwner() { Close(); }
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;

  bool IsOpen() const { return handle_ != Traits::Invalid(); }
  Handle Get() const { return handle_; }
  // Hands the handle over to a new owner.
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  // Closes the handle held, if any, and takes `handle`.
  void Reset(Handle handle = Traits::Invalid()) {
    Close();
    handle_ = handle;
  }
  // Closes now: false when there was nothing to close or the system reported an error.
  bool Close() {
    if (!IsOpen()) return false;
    return Traits::Close(Release());
  }

private:
  Handle handle_ = Traits::Invalid();
};

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
