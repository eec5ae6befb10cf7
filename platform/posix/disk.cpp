#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <ctime>

#include "platform/disk.h"
#include "platform/posix/file_systems.h"
#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"

namespace platform::host {

std::vector<std::string> FolderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  const posix::UniqueFolderListing listing(opendir(posix::HostPath(folder).c_str()));
  if (!listing.IsOpen()) return names;
  while (const dirent* entry = readdir(listing.Get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    // A name the code page cannot hold could not be opened by the name a listing would give.
    if (std::optional<std::string> inCodePage = posix::NameFromHost(name))
      names.push_back(std::move(*inCodePage));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<uint64_t> FileSize(const std::string& path) {
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  struct stat st;
  if (resolved.absent || !posix::StatOf(resolved.host, st) || !S_ISREG(st.st_mode))
    return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

std::optional<uint64_t> FreeDiskSpace(const std::string& folder) {
  struct statvfs st;
  if (statvfs(posix::HostPath(folder).c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

std::optional<std::string> FileVersion(const std::string& path) {
  // The kernel's local file systems take a file's times from a clock that moves in ticks of at
  // most 10 ms: a change within the same tick as the one before may leave the times as they were,
  // so only a file unchanged for ten such ticks has a version. (Every later change then gives it a
  // later change time.)
  constexpr long long kSettledNanoseconds = 100'000'000;
  const auto nanoseconds = [](const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
  };
  const posix::ResolvedPath resolved = posix::ResolveHostPath(path);
  struct stat st;
  timespec now{};
  if (resolved.absent || stat(resolved.host.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      clock_gettime(CLOCK_REALTIME, &now) != 0 ||
      nanoseconds(now) - nanoseconds(st.st_ctim) < kSettledNanoseconds ||
      nanoseconds(now) - nanoseconds(st.st_mtim) < kSettledNanoseconds ||
      !posix::OnKernelLocalFileSystem(resolved.host, st.st_dev))
    return std::nullopt;
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
         std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_sec) + "." +
         std::to_string(st.st_ctim.tv_nsec);
}

FILE* OpenDiscardStream(const char* mode) { return std::fopen("/dev/null", mode); }

}  // namespace platform::host
