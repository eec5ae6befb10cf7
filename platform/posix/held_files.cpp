// Whether another process holds a file, asked through fcntl locks (platform/held_files.h).
#include "platform/posix/held_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "platform/held_files.h"
#include "platform/posix/file_systems.h"
#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"
#include "platform/stream_io.h"

namespace platform {
namespace {

// The locks /proc/locks lists at one moment: the locks of every process this one can see, each as
// "N: KIND MODE ACCESS PID MAJOR:MINOR:INODE START END" (a lock waiting for its turn too). A file
// none of them is on is held by no one, so only the others need a question of their own.
class LockList {
public:
  LockList() {
    const UniqueStream locks(std::fopen("/proc/locks", "re"));
    if (!locks) return;
    char line[4096];
    while (std::fgets(line, sizeof line, locks.get())) {
      for (char *save = nullptr, *word = strtok_r(line, " \t\n", &save); word;
           word = strtok_r(nullptr, " \t\n", &save)) {
        const char* first = std::strchr(word, ':');
        const char* last = std::strrchr(word, ':');
        if (!first || first == last || !last[1]) continue;
        char* end = nullptr;
        const unsigned long long inode = std::strtoull(last + 1, &end, 10);
        if (*end == '\0') inodes_.insert(inode);
      }
    }
    read_ = !std::ferror(locks.get());
  }

  // True when the file `host`, whose stat is `st`, has no lock listed on it.
  bool ShowsUnlocked(const std::string& host, const struct stat& st) const {
    return read_ && posix::OnKernelLocalFileSystem(host, st.st_dev) &&
           inodes_.count(static_cast<unsigned long long>(st.st_ino)) == 0;
  }

private:
  bool read_ = false;
  std::unordered_set<unsigned long long> inodes_;
};

LockList* g_askedTogether = nullptr;

}  // namespace

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

bool WaitForRelease(const std::string& host, const struct stat* known) {
  if (known && g_askedTogether && g_askedTogether->ShowsUnlocked(host, *known)) return true;
  if (WaitUntilReleased([&] { return HostFileHeld(host); })) return true;
  errno = EBUSY;
  return false;
}

}  // namespace posix

bool FileHeldByAnotherProgram(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  return !resolved.absent && posix::HostFileHeld(resolved.host);
}

std::vector<std::string> FilesHeldNow(const std::vector<std::string>& paths) {
  LockList locks;
  std::vector<std::string> held;
  for (const std::string& path : paths) {
    const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
    // Asked now, not from what StatOf keeps: the file may have been replaced since.
    struct stat st;
    if (resolved.absent || stat(resolved.host.c_str(), &st) != 0) continue;
    if (!locks.ShowsUnlocked(resolved.host, st) && posix::HostFileHeld(resolved.host))
      held.push_back(path);
  }
  return held;
}

struct HeldFilesAskedTogether::List {
  LockList locks;
};

HeldFilesAskedTogether::HeldFilesAskedTogether() {
  if (g_askedTogether) return;  // an outer one answers
  list_ = std::make_unique<List>();
  g_askedTogether = &list_->locks;
}

HeldFilesAskedTogether::~HeldFilesAskedTogether() {
  if (list_) g_askedTogether = nullptr;
}

}  // namespace platform
