#pragma once
// The owner that each host's handle owners (platform/win32/handles.h, platform/posix/handles.h)
// are made of: it closes its handle on every path out of the function that opened it, and can hand
// it over or close it early to learn the result.
#include <utility>

namespace platform {

// Owns one handle of the kind `Traits` describes: `Handle`, its type; `Invalid()`, the value that
// holds nothing; `Close(handle)`, which closes it and says whether the system reported success.
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
  // Closes now: false when there was nothing to close or the system reported an error (for a file
  // written to, a write that failed late).
  bool Close() {
    if (!IsOpen()) return false;
    return Traits::Close(Release());
  }

private:
  Handle handle_ = Traits::Invalid();
};

}  // namespace platform
