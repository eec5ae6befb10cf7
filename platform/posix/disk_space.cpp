// platform/disk_space.h on Linux.
#include "platform/disk_space.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>

#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"

namespace platform {

std::optional<uint64_t> AllocationUnit(const std::string& folder) {
  struct statvfs st;
  if (statvfs(posix::HostPath(folder).c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.f_frsize != 0 ? st.f_frsize : st.f_bsize);
}

std::optional<uint64_t> DiskIdentity(const std::string& folder) {
  struct stat st;
  if (stat(posix::HostPath(folder).c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_dev);
}

bool FolderAcceptsNewFiles(const std::string& folder) {
  const std::string host = posix::HostPath(folder);
  struct stat st;
  if (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  // A name of this process alone, as the patch's file names never are; tried for real, since root
  // passes every permission check and a read-only or full disk shows only when written to (the
  // file system reserves the block at the write).
  const std::string probe = host + "/.ovpatch-probe-" + std::to_string(getpid());
  posix::UniqueDescriptor fd(open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!fd.IsOpen()) return false;
  const char byte = 0;
  const bool written = write(fd.Get(), &byte, 1) == 1;
  const bool closed = fd.Close();
  unlink(probe.c_str());
  return written && closed;
}

}  // namespace platform
