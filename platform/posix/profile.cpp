#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/profile_document.h"
#include "platform/posix/text_stream.h"

// Every call reads the file afresh, so no answer outlives the file's contents; a ProfileSnapshot
// parses it once for the length of its life.
namespace platform {
namespace {

using posix::ProfileDocument;

// The bytes of the regular file at `host`; nullopt when it is missing, not a file or unreadable.
std::optional<std::string> ReadFileBytes(const std::string& host) {
  const posix::UniqueDescriptor fd(open(host.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (!fd.IsOpen() || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string text;
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return text;
    text.append(buffer, static_cast<size_t>(n));
  }
}

std::optional<ProfileDocument> LoadDocument(const std::string& host) {
  std::optional<std::string> bytes = ReadFileBytes(host);
  if (!bytes) return std::nullopt;
  return ProfileDocument(std::move(*bytes));
}

// Writes `text` to a new file beside `host` and renames it over `host`, so a failed write leaves
// the old file whole. Keeps the old file's permissions.
bool ReplaceContents(const std::string& host, const std::string& text, mode_t mode) {
  std::string temp = host + ".XXXXXX";
  posix::UniqueDescriptor fd(mkstemp(temp.data()));
  if (!fd.IsOpen()) return false;
  bool ok = fchmod(fd.Get(), mode) == 0 && posix::WriteAll(fd.Get(), text.data(), text.size());
  ok = fsync(fd.Get()) == 0 && ok;
  ok = fd.Close() && ok;
  if (ok) ok = rename(temp.c_str(), host.c_str()) == 0;
  // A scratch file that cannot be removed stays behind; the old file is whole either way.
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace

struct ProfileSnapshot::Contents {
  std::optional<ProfileDocument> document;  // nullopt: no readable file
};

ProfileSnapshot::ProfileSnapshot(const std::string& file)
    : contents_(std::make_unique<const Contents>(Contents{LoadDocument(posix::HostPath(file))})) {}

ProfileSnapshot::~ProfileSnapshot() = default;

std::string ProfileSnapshot::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback, size_t bufferSize) const {
  if (bufferSize == 0) return "";
  std::optional<std::string> value;
  if (contents_->document) value = contents_->document->Value(section, key);
  std::string result;
  if (value) {
    result = std::move(*value);
  } else {
    result = fallback;
    result.erase(result.find_last_not_of(' ') + 1);  // the default loses its trailing blanks
  }
  if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
  return result;
}

std::vector<std::string> ProfileSnapshot::SectionNames() const {
  if (!contents_->document) return {};
  return contents_->document->SectionNames();
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, size_t bufferSize,
                              const std::string& file) {
  return ProfileSnapshot(file).ReadString(section, key, fallback, bufferSize);
}

std::vector<std::string> ReadProfileSectionNames(const std::string& file) {
  return ProfileSnapshot(file).SectionNames();
}

bool WriteProfileValue(const std::string& section, const std::string& key,
                       const std::string& value, const std::string& file) {
  const std::string resolved = posix::HostPath(file);
  std::string host = resolved;
  // Write through a link to the file it names rather than replacing the link.
  if (char* real = realpath(host.c_str(), nullptr)) {
    host = real;
    free(real);
  }
  mode_t mode = 0666;
  struct stat st;
  std::optional<std::string> before;  // nullopt: a new file
  if (stat(host.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;  // read-only file
    mode = st.st_mode & 07777;
    before = ReadFileBytes(host);
    if (!before) return false;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }

  ProfileDocument updated(before.value_or(""));
  updated.Set(section, key, value);
  if (before && updated.bytes() == *before) return true;
  if (!ReplaceContents(host, updated.bytes(), mode)) return false;
  // An open operation sees the new file, or the new contents, at once.
  if (!before) posix::NoteCreated(resolved);
  posix::NoteRewritten(resolved);
  if (host != resolved) posix::NoteRewritten(host);
  return true;
}

}  // namespace platform
