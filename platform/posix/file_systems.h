#pragma once
// The local file systems of the kernel's own (ext2/3/4, XFS, Btrfs, F2FS, tmpfs), on which the
// host's calls rely on more than elsewhere: a syncfs writes every file's data and reports the
// errors it meets, /proc/locks names a file by the inode number stat gives, and the change time
// moves at every write in steps finer than a second. Not so on network, FUSE (ntfs-3g) or FAT
// file systems.
#include <sys/types.h>

#include <string>

namespace platform::posix {

// `type` is a statfs f_type.
bool IsKernelLocalFileSystem(unsigned long type);

// The same of the file system that holds `host` (`device` its st_dev), asked once per device.
bool OnKernelLocalFileSystem(const std::string& host, dev_t device);

}  // namespace platform::posix
