// platform/running_programs.h on Linux: the processes in /proc. A Windows program under Wine runs
// as a process of the Wine loader, whose command line Wine sets to the Windows path of the program
// ("C:\FS9\FS9.EXE"); until it does, the command line holds the path the user gave to wine.
#include "platform/running_programs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

// The whole of a small file of /proc; nullopt when it cannot be read (a process of another user,
// or one that has ended).
std::optional<std::string> ReadProcFile(const std::string& path) {
  const posix::UniqueDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) return std::nullopt;
  std::string content;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return content;
    content.append(buffer, static_cast<size_t>(n));
  }
}

// The NUL-separated strings of a /proc file (cmdline, environ).
std::vector<std::string> SplitAtNul(const std::string& content) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\0', start);
    if (end == std::string::npos) end = content.size();
    parts.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The Wine prefix the process `pid` uses: its WINEPREFIX, else ~/.wine of its HOME; nullopt when
// its environment cannot be read.
std::optional<std::string> ProcessWinePrefix(const std::string& pid) {
  const std::optional<std::string> environment = ReadProcFile("/proc/" + pid + "/environ");
  if (!environment) return std::nullopt;
  std::string prefix, home;
  for (const std::string& variable : SplitAtNul(*environment)) {
    if (variable.rfind("WINEPREFIX=", 0) == 0) prefix = variable.substr(11);
    if (variable.rfind("HOME=", 0) == 0) home = variable.substr(5);
  }
  return !prefix.empty() ? prefix : home + "/.wine";
}

// The arguments of a command line that may name the program a process runs: the first, and after
// Wine's loaders ("wine", "wine64", "wine64-preloader", ...) the one that follows them; the
// program's own arguments are never looked at.
std::vector<std::string> ProgramArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> program;
  for (const std::string& argument : arguments) {
    program.push_back(argument);
    if (UpperCase(LastPathComponent(argument)).rfind("WINE", 0) != 0) break;
  }
  return program;
}

// Whether the process `pid`, whose command line holds `path` (in the code page), was started on the
// file `wanted`. A path with a drive letter goes through the drive links of the process's Wine
// prefix (this program's own when its environment cannot be read); a relative path starts in the
// process's current folder. Names match without regard to case, as Wine matches them.
bool ArgumentNames(const std::string& pid, const std::string& path, const struct stat& wanted) {
  if (path.empty()) return false;
  std::string host;
  if (path.size() >= 2 && path[1] == ':') {
    const std::string prefix = ProcessWinePrefix(pid).value_or(posix::WinePrefix());
    host = posix::HostPath(prefix + "/dosdevices/" + AsciiLower(path[0]) + ":/" + path.substr(2));
  } else {
    host = posix::HostPath(IsPathSeparator(path[0]) ? path : "/proc/" + pid + "/cwd/" + path);
  }
  struct stat st;
  return stat(host.c_str(), &st) == 0 && SameFile(st, wanted);
}

bool IsProcessNumber(const char* name) {
  if (*name == '\0') return false;
  for (const char* c = name; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return true;
}

}  // namespace

bool ProgramFileRunning(const std::string& exePath) {
  struct stat wanted;
  if (stat(posix::HostPath(exePath).c_str(), &wanted) != 0 || !S_ISREG(wanted.st_mode))
    return false;
  const std::string wantedName = UpperCase(LastPathComponent(exePath));
  const std::string self = std::to_string(getpid());
  const posix::UniqueFolderListing processes(opendir("/proc"));
  if (!processes.IsOpen()) return false;
  while (const dirent* entry = readdir(processes.Get())) {
    if (!IsProcessNumber(entry->d_name) || entry->d_name == self) continue;
    const std::string pid = entry->d_name;
    const std::optional<std::string> commandLine = ReadProcFile("/proc/" + pid + "/cmdline");
    if (!commandLine) continue;
    for (const std::string& argument : ProgramArguments(SplitAtNul(*commandLine))) {
      // Only an argument of the wanted name is looked up on the disk.
      const std::optional<std::string> inCodePage = posix::NameFromHost(argument);
      if (!inCodePage || UpperCase(LastPathComponent(*inCodePage)) != wantedName) continue;
      struct stat image;  // a program run straight from the file, not through Wine
      if (stat(("/proc/" + pid + "/exe").c_str(), &image) == 0 && SameFile(image, wanted))
        return true;
      if (ArgumentNames(pid, *inCodePage, wanted)) return true;
    }
  }
  return false;
}

}  // namespace platform
