// Whether another process holds a file, asked through fcntl locks (platform/held_files.h).
#include "platform/posix/held_files.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/held_files.h"
#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"

namespace platform {

namespace posix {

bool HostFileHeld(const std::string& host) {
  const UniqueDescriptor fd(open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.IsOpen()) return false;
  // A write lock over the whole file conflicts with every lock another process holds. F_GETLK
  // passes over this process's own traditional locks; its one lock of another kind is on
  // OVPATCH.LCK, which nothing writes.
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return fcntl(fd.Get(), F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

bool WaitForRelease(const std::string& host) {
  if (WaitUntilReleased([&] { return HostFileHeld(host); })) return true;
  errno = EBUSY;
  return false;
}

}  // namespace posix

bool FileHeldByAnotherProgram(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  return !resolved.absent && posix::HostFileHeld(resolved.host);
}

}  // namespace platform
