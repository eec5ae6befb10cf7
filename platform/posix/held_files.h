#pragma once
// Held files on Linux, for the host's file calls (platform/posix/files.cpp): there is no sharing
// mode; a file counts as held while another process has an fcntl lock on any part of it.
#include <sys/stat.h>

#include <string>

namespace platform::posix {

// True when another process holds an fcntl lock (traditional or open-file-description) on the
// existing file `host` (a path HostPath gave). One open, one fcntl, one close; false when it cannot
// be opened for reading.
bool HostFileHeld(const std::string& host);

// Waits while HostFileHeld(host), for at most platform::kHeldFileWaitMilliseconds. False, with
// errno EBUSY, when it is still held: the call about to change the file must then fail, as it
// would on Windows. `known`, the file's stat just taken, lets a platform::HeldFilesAskedTogether
// answer without a question of its own.
bool WaitForRelease(const std::string& host, const struct stat* known = nullptr);

}  // namespace platform::posix
