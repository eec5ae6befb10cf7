#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <ctime>
#include <memory>

#include "platform/posix/path_resolver.h"
#include "platform/posix/profile_document.h"

namespace platform {
namespace {

using posix::ProfileDocument;

// What identifies one state of a file on disk: any write or replacement changes one of these.
struct FileStamp {
  dev_t device;
  ino_t inode;
  off_t size;
  timespec modified;
  bool operator==(const FileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileStamp StampOf(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }

struct CachedProfile {
  FileStamp stamp;
  std::shared_ptr<const ProfileDocument> document;
  // False while the file was changed too shortly before it was read: a write within the same
  // tick of the file system's clock could leave the stamp as it was, so the bytes are compared.
  bool settled;
};

// True when the file's modification time lies clearly before `readStart`, so that any later
// write gives it another time stamp.
bool Settled(const struct stat& st, const timespec& readStart) {
  const long long margin = 50'000'000;  // ns; well above a file system clock tick (<= 10 ms)
  const long long modified = st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec;
  const long long started = readStart.tv_sec * 1'000'000'000LL + readStart.tv_nsec;
  return started - modified > margin;
}

// Parsed files by host path, kept until the file changes on disk.
std::map<std::string, CachedProfile>& Cache() {
  static std::map<std::string, CachedProfile> cache;
  return cache;
}

bool ReadAll(int fd, std::string& text) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buffer, static_cast<size_t>(n));
  }
}

// The parsed file at `host`, from the cache when unchanged; nullptr when it cannot be read.
std::shared_ptr<const ProfileDocument> Load(const std::string& host) {
  struct stat st;
  if (stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    Cache().erase(host);
    return nullptr;
  }
  auto cached = Cache().find(host);
  const bool sameStamp = cached != Cache().end() && cached->second.stamp == StampOf(st);
  if (sameStamp && cached->second.settled) return cached->second.document;

  timespec readStart;
  clock_gettime(CLOCK_REALTIME, &readStart);
  const int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::string text;
  const bool ok = ReadAll(fd, text) && fstat(fd, &st) == 0;
  close(fd);
  if (!ok) return nullptr;
  if (sameStamp && cached->second.stamp == StampOf(st) && text == cached->second.document->text()) {
    cached->second.settled = Settled(st, readStart);
    return cached->second.document;
  }
  auto document = std::make_shared<const ProfileDocument>(std::move(text));
  Cache()[host] = {StampOf(st), document, Settled(st, readStart)};
  return document;
}

// Writes `text` to a new file beside `host` and renames it over `host`, so a failed write leaves
// the old file whole. Keeps the old file's permissions.
bool ReplaceContents(const std::string& host, const std::string& text, mode_t mode) {
  std::string temp = host + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0;
  for (size_t done = 0; ok && done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  ok = fsync(fd) == 0 && ok;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), host.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t bufferSize,
                              const std::string& file) {
  if (bufferSize == 0) return "";
  std::string result;
  const auto document = Load(posix::HostPath(file));
  std::optional<std::string> value;
  if (document) value = document->Value(section, key);
  if (value) {
    result = *value;
  } else {
    result = fallback;
    result.erase(result.find_last_not_of(' ') + 1);  // the default loses its trailing blanks
  }
  if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
  return result;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  std::string host = posix::HostPath(file);
  // Write through a link to the file it names rather than replacing the link.
  if (char* real = realpath(host.c_str(), nullptr)) {
    host = real;
    free(real);
  }
  mode_t mode = 0666;
  struct stat st;
  std::shared_ptr<const ProfileDocument> document;
  if (stat(host.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;  // read-only file
    mode = st.st_mode & 07777;
    document = Load(host);
    if (!document) return false;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }

  ProfileDocument updated = document ? *document : ProfileDocument("");
  updated.Set(section, key, value);
  if (document && updated.text() == document->text()) return true;
  if (!ReplaceContents(host, updated.text(), mode)) return false;
  Cache().erase(host);
  Load(host);  // parse the new contents now, so the next reads hit the cache
  return true;
}

std::vector<std::string> ReadProfileSectionNames(const std::string& file) {
  const auto document = Load(posix::HostPath(file));
  if (!document) return {};
  return document->SectionNames();
}

}  // namespace platform
