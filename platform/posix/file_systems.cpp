#include "platform/posix/file_systems.h"

#include <linux/magic.h>
#include <sys/statfs.h>

#include <unordered_map>

namespace platform::posix {

bool IsKernelLocalFileSystem(unsigned long type) {
  switch (type) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
      return true;
    default:
      return false;
  }
}

bool OnKernelLocalFileSystem(const std::string& host, dev_t device) {
  static std::unordered_map<dev_t, bool> known;
  if (const auto found = known.find(device); found != known.end()) return found->second;
  struct statfs fs;
  const bool local =
      statfs(host.c_str(), &fs) == 0 && IsKernelLocalFileSystem(static_cast<unsigned long>(fs.f_type));
  return known.emplace(device, local).first->second;
}

}  // namespace platform::posix
