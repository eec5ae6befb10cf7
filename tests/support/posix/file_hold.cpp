#include "support/file_hold.h"

#include <fcntl.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace testsupport {

FileHold::FileHold(const std::string& path) {
  const int fd = open(HostPath(path).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_SETLK, &lock) != 0) {
    close(fd);
    return;
  }
  handle_ = fd;
}

FileHold::~FileHold() {
  if (Held()) close(static_cast<int>(handle_));
}

}  // namespace testsupport
