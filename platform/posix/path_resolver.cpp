#include "platform/posix/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

namespace platform::posix {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> SplitComponents(const std::string& path, size_t from) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = from; i < path.size(); ++i) {
    if (IsSeparator(path[i])) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += path[i];
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// `dir` + "/" + `name`, where "" means the current folder.
std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// The on-disk spelling of `name` inside `dir`, or "" when no entry matches.
std::string FindEntry(const std::string& dir, const std::string& name) {
  struct stat st;
  if (lstat(Join(dir, name).c_str(), &st) == 0) return name;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return "";
  std::string best;
  while (const dirent* entry = readdir(d)) {
    const std::string candidate = entry->d_name;
    if (EqualNoCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
  }
  closedir(d);
  return best;
}

}  // namespace

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.wine";
}

std::string HostPath(const std::string& path) {
  if (path.empty()) return "";  // names nothing, as on Windows
  std::string base;  // "" = the current folder
  size_t start = 0;
  const bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                        ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  if (hasDrive) {
    base = WinePrefix() + "/dosdevices/" + LowerAscii(path[0]) + ":";
    start = 2;
  } else if (!path.empty() && IsSeparator(path[0])) {
    base = "/";
  }

  bool found = true;  // once a component is missing, nothing below it can exist
  for (const std::string& part : SplitComponents(path, start)) {
    std::string name = part;
    if (found && part != "." && part != "..") {
      const std::string onDisk = FindEntry(base, part);
      if (onDisk.empty())
        found = false;
      else
        name = onDisk;
    }
    base = Join(base, name);
  }
  if (base.empty()) return ".";
  if (!path.empty() && IsSeparator(path.back()) && base.back() != '/') base += '/';
  return base;
}

}  // namespace platform::posix
