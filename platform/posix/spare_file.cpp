#include "platform/posix/spare_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/path_resolver.h"
#include "platform/posix/text_stream.h"

namespace platform::posix {
namespace {

struct Spare {
  std::string host;
  mode_t mode;
};

std::optional<Spare>& Held() {
  static std::optional<Spare> spare;
  return spare;
}

// The permissions a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

uid_t OwnUser() {
  static const uid_t user = geteuid();
  return user;
}

}  // namespace

bool WantsSpare(const struct stat& displaced) {
  return InOperation() && !Held() && S_ISREG(displaced.st_mode) && displaced.st_nlink == 1 &&
         displaced.st_uid == OwnUser();
}

bool KeepAsSpare(const std::string& host, const struct stat& displaced) {
  if (host.empty() || host[0] != '/') return false;  // must stay valid if the current folder changes
  const std::string spare = host.substr(0, host.rfind('/') + 1) + ".ovpatch-spare";
  if (renameat2(AT_FDCWD, host.c_str(), AT_FDCWD, spare.c_str(), RENAME_NOREPLACE) != 0) return false;
  NoteRemoved(host);
  NoteCreated(spare);
  Held() = Spare{spare, static_cast<mode_t>(displaced.st_mode & 07777)};
  return true;
}

FILE* OpenSpareAs(const std::string& host) {
  std::optional<Spare>& spare = Held();
  if (!spare) return nullptr;
  if (renameat2(AT_FDCWD, spare->host.c_str(), AT_FDCWD, host.c_str(), RENAME_NOREPLACE) != 0)
    return nullptr;
  NoteRemoved(spare->host);
  NoteCreated(host);
  const mode_t mode = spare->mode;
  spare.reset();
  const int fd = open(host.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 || (mode != NewFileMode() && fchmod(fd, NewFileMode()) != 0)) {
    if (fd >= 0) close(fd);
    unlink(host.c_str());
    NoteRemoved(host);
    return nullptr;
  }
  return OpenOverwritingStream(fd);
}

void DropSpare() {
  if (Held()) unlink(Held()->host.c_str());
  Held().reset();
}

}  // namespace platform::posix
