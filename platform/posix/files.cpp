// The host file calls of platform/host_files.h and the host parts of platform/files.h.
#include "platform/host_files.h"

#include "platform/files.h"

#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/posix/file_systems.h"
#include "platform/posix/handles.h"
#include "platform/posix/held_files.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/text_stream.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform::host {
namespace {

using posix::HostPath;

// Windows keeps a read-only attribute; here a file with no write bit plays that part, also for root.
bool NoWriteBit(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

bool ReadOnlyHostFile(const std::string& host) {
  struct stat st;
  return posix::StatOf(host, st) && S_ISREG(st.st_mode) && NoWriteBit(st);
}

// Copies a regular file byte for byte to `to` (which must not exist), keeping its mode.
// Removes the partial copy on failure.
bool CopyHostFile(const std::string& from, const std::string& to) {
  posix::UniqueDescriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.IsOpen()) return false;
  struct stat st;
  if (fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  posix::UniqueDescriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!out.IsOpen()) return false;
  std::vector<char> buffer(1 << 16);
  bool ok = true;
  for (;;) {
    const ssize_t n = read(in.Get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = posix::WriteAll(out.Get(), buffer.data(), static_cast<size_t>(n));
    if (!ok) break;
  }
  ok = fchmod(out.Get(), st.st_mode & 07777) == 0 && ok;
  ok = out.Close() && ok;
  // A partial copy that cannot be removed stays behind; the failure is reported either way.
  if (!ok) unlink(to.c_str());
  return ok;
}

// rename() that never replaces an existing `to`.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot do it atomically: check, then rename.
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

// The last component of `path` as spelled (separators "\" or "/"), as the file system spells it.
std::string SpelledName(const std::string& path) {
  return posix::HostName(LastPathComponent(path));
}

std::string ParentOf(const std::string& host) {
  const size_t slash = host.find_last_of('/');
  if (slash == std::string::npos) return "";
  return host.substr(0, slash + 1);
}

// How OpenStream opens a file in one of its modes.
struct StreamMode {
  int flags = O_RDONLY;  // open's access and creation flags
  bool text = false;     // CR LF line ends, through a text stream (posix/text_stream.h)
  bool Writes() const { return (flags & O_ACCMODE) != O_RDONLY; }
};

// The StreamMode of an fopen mode that OpenStream takes; nullopt for any other.
std::optional<StreamMode> ParseStreamMode(const std::string& mode) {
  constexpr int kWrite = O_WRONLY | O_CREAT | O_TRUNC;
  constexpr int kAppend = O_WRONLY | O_CREAT | O_APPEND;
  static const std::pair<const char*, StreamMode> kModes[] = {
      {"r", {O_RDONLY, true}}, {"w", {kWrite, true}},   {"a", {kAppend, true}},
      {"rb", {O_RDONLY}},      {"wb", {kWrite}},        {"ab", {kAppend}},
      {"r+b", {O_RDWR}},       {"rb+", {O_RDWR}},       {"wbx", {O_WRONLY | O_CREAT | O_EXCL}},
  };
  for (const auto& [name, how] : kModes)
    if (mode == name) return how;
  return std::nullopt;
}

}  // namespace

bool PathExists(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  struct stat st;
  return !resolved.absent && posix::StatOf(resolved.host, st);
}

bool IsFolder(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  struct stat st;
  return !resolved.absent && posix::StatOf(resolved.host, st) && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  const std::string host = HostPath(path);
  if (mkdir(host.c_str(), 0777) != 0) return false;
  posix::NoteCreated(host);
  posix::NoteFoldersMoved();  // the new folder may be on the way to names resolved before
  return true;
}

bool RemoveFile(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  if (resolved.absent) {
    errno = ENOENT;
    return false;
  }
  const std::string& host = resolved.host;
  struct stat st;
  if (lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (S_ISREG(st.st_mode) && NoWriteBit(st)) {
    errno = EACCES;
    return false;
  }
  if (S_ISREG(st.st_mode) && !posix::WaitForRelease(host)) return false;
  if (unlink(host.c_str()) != 0) return false;
  posix::NoteRemoved(host);
  return true;
}

namespace {

// The index keeps up with a move of `from` to `to` that this process made.
void NoteMoved(const std::string& from, const std::string& to, bool folder) {
  posix::NoteRemoved(from);
  posix::NoteCreated(to);
  if (folder) posix::NoteFoldersMoved();
}

bool MoveHostPath(const std::string& hostFrom, std::string hostTo, const std::string& spelledTo) {
  struct stat source;
  if (lstat(hostFrom.c_str(), &source) != 0) return false;
  if (S_ISREG(source.st_mode) && !posix::WaitForRelease(hostFrom)) return false;
  if (hostTo == hostFrom) {
    // The target is the source under another letter case: a rename to the new spelling.
    hostTo = ParentOf(hostFrom) + SpelledName(spelledTo);
    if (hostTo == hostFrom) return false;  // same name: the target exists
    if (rename(hostFrom.c_str(), hostTo.c_str()) != 0) return false;
  } else if (!RenameNoReplace(hostFrom, hostTo)) {
    if (errno != EXDEV || !S_ISREG(source.st_mode)) return false;
    // Another file system: copy, then remove the original.
    if (!CopyHostFile(hostFrom, hostTo)) return false;
    if (unlink(hostFrom.c_str()) != 0) {
      unlink(hostTo.c_str());  // if even the copy stays, the move still failed: the source is there
      return false;
    }
  }
  NoteMoved(hostFrom, hostTo, S_ISDIR(source.st_mode));
  return true;
}

// ReplaceFileWith between two file systems: a copy beside the target takes its place. The original
// goes before the swap, so that a failure leaves the target as it was and never reports a move
// that left the original behind; a failed swap brings the original back from the copy.
bool ReplaceAcrossFileSystems(const std::string& hostFrom, const std::string& hostTo) {
  const std::string staging = hostTo + ".ovpatch-tmp";
  unlink(staging.c_str());  // left by an earlier run; one that stays makes the copy fail
  if (!CopyHostFile(hostFrom, staging)) return false;
  if (unlink(hostFrom.c_str()) != 0) {
    unlink(staging.c_str());
    return false;
  }
  if (rename(staging.c_str(), hostTo.c_str()) == 0) return true;
  const int error = errno;
  if (CopyHostFile(staging, hostFrom)) unlink(staging.c_str());  // else its bytes stay in staging
  errno = error;
  return false;
}

}  // namespace

bool MovePath(const std::string& from, const std::string& to) {
  return MoveHostPath(HostPath(from), HostPath(to), to);
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  const std::string hostFrom = HostPath(from);
  const std::string hostTo = HostPath(to);
  struct stat st;
  if (lstat(hostFrom.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  struct stat target;
  if (lstat(hostTo.c_str(), &target) == 0) {
    struct stat followed = target;  // a symbolic link is judged by what it points to
    const bool resolves = !S_ISLNK(target.st_mode) || stat(hostTo.c_str(), &followed) == 0;
    if (resolves && (!S_ISREG(followed.st_mode) || NoWriteBit(followed))) {
      errno = EACCES;
      return false;
    }
    if (resolves && !posix::WaitForRelease(hostTo, &followed)) return false;
  }
  if (rename(hostFrom.c_str(), hostTo.c_str()) != 0 &&
      (errno != EXDEV || !ReplaceAcrossFileSystems(hostFrom, hostTo)))
    return false;
  NoteMoved(hostFrom, hostTo, false);
  return true;
}

bool IsReadOnlyFile(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  return !resolved.absent && ReadOnlyHostFile(resolved.host);
}

// The system decides for this process (root may change any folder).
bool FolderAcceptsChanges(const std::string& folder) {
  return access(HostPath(folder).c_str(), W_OK | X_OK) == 0;
}

FILE* OpenStream(const std::string& path, const char* mode) {
  const std::optional<StreamMode> how = mode ? ParseStreamMode(mode) : std::nullopt;
  if (!how) {
    errno = EINVAL;
    return nullptr;
  }
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  const std::string& host = resolved.host;
  if (resolved.absent && !how->Writes()) {
    errno = ENOENT;
    return nullptr;
  }
  if (how->Writes()) {
    if (!resolved.absent && (how->flags & O_EXCL) != 0) {
      errno = EEXIST;  // a file that must be new exists, in some spelling
      return nullptr;
    }
    if (!resolved.absent && ReadOnlyHostFile(host)) {
      errno = EACCES;
      return nullptr;
    }
    // Windows refuses to open a file another program holds; here such a file carries a lock.
    if (!resolved.absent && !posix::WaitForRelease(host)) return nullptr;
  } else {
    // Windows cannot open a folder as a stream; opening one for writing fails by itself.
    struct stat st;
    if (!posix::StatOf(host, st)) return nullptr;
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return nullptr;
    }
  }
  const auto noteOpened = [&] {
    if ((how->flags & O_CREAT) != 0) posix::NoteCreated(host);
    if (how->Writes()) posix::NoteWriting(host);
  };
  if (how->text) {
    posix::UniqueDescriptor fd(open(host.c_str(), how->flags | O_CLOEXEC, 0666));
    if (!fd.IsOpen()) return nullptr;
    noteOpened();
    return posix::OpenTextStream(std::move(fd), how->Writes());
  }
  // fopen opens with the mode's flags and O_CLOEXEC ("e"); fdopen would ask for them again.
  FILE* stream = std::fopen(host.c_str(), (std::string(mode) + "e").c_str());
  if (stream) noteOpened();
  return stream;
}

bool FlushStream(FILE* stream, std::optional<uint64_t> expectedSize, FlushDepth depth) {
  if (std::fflush(stream) != 0) return false;
  struct stat st;
  const int fd = fileno(stream);
  if (fd < 0 || fstat(fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) return true;
  if (depth == FlushDepth::kToDisk && (fsync(fd) != 0 || fstat(fd, &st) != 0)) return false;
  return !expectedSize || static_cast<uint64_t>(st.st_size) == *expectedSize;
}

namespace {

// Local file systems whose syncfs writes every file's data to the disk and reports the write
// errors it meets (an overlay's passes it on to its upper one). Others (network and FUSE file
// systems among them) get an fsync per file.
bool SyncfsCoversFiles(int fd) {
  struct statfs fs;
  if (fstatfs(fd, &fs) != 0) return false;
  const auto type = static_cast<unsigned long>(fs.f_type);
  return posix::IsKernelLocalFileSystem(type) || type == OVERLAYFS_SUPER_MAGIC;
}

}  // namespace

bool CanFlushFilesTogether() { return true; }

bool FlushFilesTogether(const std::vector<std::string>& paths) {
  std::vector<dev_t> synced;        // file systems flushed as a whole already
  std::string lastFolder = "\n";   // a file lies on the file system of its folder
  for (const std::string& path : paths) {
    const std::string host = HostPath(path);
    const std::string folder = ParentOf(host);
    if (folder == lastFolder) continue;  // its file system was flushed already
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return false;
    lastFolder = folder;
    if (std::find(synced.begin(), synced.end(), st.st_dev) != synced.end()) continue;
    posix::UniqueDescriptor fd(open(host.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) return false;
    if (SyncfsCoversFiles(fd.Get())) {
      if (syncfs(fd.Get()) != 0) return false;
      synced.push_back(st.st_dev);
    } else {
      lastFolder = "\n";
      if (fsync(fd.Get()) != 0) return false;
    }
  }
  return true;
}

bool SetCurrentFolder(const std::string& path) {
  if (chdir(HostPath(path).c_str()) != 0) return false;
  posix::NoteFoldersMoved();  // relative paths now start elsewhere
  return true;
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  // A folder the code page cannot name cannot be the program's either.
  return posix::NameFromHost(buffer.data()).value_or("");
}

}  // namespace platform::host

namespace platform {

size_t LongestPathLength() { return PATH_MAX - 1; }

bool PathTooLong(const std::string& path) {
  std::string host = posix::HostPath(path);
  if (host.empty() || host[0] != '/') host = host::CurrentFolder() + "/" + host;
  if (host.size() > LongestPathLength()) return true;
  size_t nameLength = 0;
  for (char c : host) {
    nameLength = c == '/' ? 0 : nameLength + 1;
    if (nameLength > NAME_MAX) return true;
  }
  return false;
}

FileOperationScope::FileOperationScope() { posix::BeginOperation(); }

FileOperationScope::~FileOperationScope() { posix::EndOperation(); }

}  // namespace platform
