#include "platform/typed_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/files.h"
#include "platform/posix/handles.h"
#include "platform/posix/path_resolver.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

// A drive of the Wine prefix: its letter and the identity of the folder its link leads to.
struct Drive {
  char letter;
  dev_t device;
  ino_t inode;
};

// The drives of `prefix`/dosdevices whose links lead to a folder, in the order of their letters.
std::vector<Drive> PrefixDrives(const std::string& prefix) {
  const std::string devices = prefix + "/dosdevices";
  std::vector<Drive> drives;
  const posix::UniqueFolderListing listing(opendir(devices.c_str()));
  if (!listing.IsOpen()) return drives;
  while (const dirent* entry = readdir(listing.Get())) {
    const std::string name = entry->d_name;
    if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
    struct stat st;
    if (stat((devices + "/" + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    drives.push_back({AsciiUpper(name[0]), st.st_dev, st.st_ino});
  }
  std::sort(drives.begin(), drives.end(),
            [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
  return drives;
}

// `parts` from `begin` to `end`, each after a "\".
std::string Joined(const std::vector<std::string>& parts, size_t begin, size_t end) {
  std::string joined;
  for (size_t i = begin; i < end; ++i) joined += "\\" + parts[i];
  return joined;
}

// True when `name` has the form of the short (8.3) name Windows makes for a long one: one to six
// characters, "~", digits, then at most a "." and three characters.
bool LooksLikeShortName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && name.size() - dot - 1 > 3) return false;
  const std::string stem = name.substr(0, dot);
  const size_t tilde = stem.rfind('~');
  if (tilde == std::string::npos || tilde == 0 || tilde > 6 || tilde + 1 == stem.size())
    return false;
  return std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(tilde) + 1, stem.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// The names of `folder` that the short name `shortName` may stand for: those that begin, without
// their blanks and dots and without regard to case, with what comes before its "~".
std::vector<std::string> LongNamesFor(const std::string& folder, const std::string& shortName) {
  const std::string start = UpperCase(shortName.substr(0, shortName.rfind('~')));
  std::vector<std::string> names;
  for (const std::string& name : FolderEntryNames(folder)) {
    std::string squeezed = name;
    std::erase_if(squeezed, [](char c) { return c == ' ' || c == '.'; });
    if (UpperCase(squeezed).rfind(start, 0) == 0) names.push_back(name);
  }
  return names;
}

// Why the names `parts` below `root` cannot be kept: the first that has the form of a short name
// and names nothing on disk (the names are matched as every path is, without regard to case);
// "" when none.
std::string ShortNameRefusal(const std::string& root, const std::vector<std::string>& parts) {
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!LooksLikeShortName(parts[i])) continue;
    const std::string path = root + Joined(parts, 0, i + 1);
    struct stat st;
    if (stat(posix::HostPath(path).c_str(), &st) == 0) continue;
    std::string refusal = "\"" + parts[i] +
                          "\" has the form of a short name (8.3), which this program does not "
                          "look up: give the folder's long name";
    const std::vector<std::string> names =
        LongNamesFor(root + Joined(parts, 0, i) + "\\", parts[i]);
    for (size_t n = 0; n < names.size(); ++n)
      refusal += (n == 0 ? " (\"" : " or \"") + names[n] + "\"";
    return refusal + (names.empty() ? "" : ")");
  }
  return "";
}

// `parts` with each "." left out and each ".." taking away the name before it, as a shell's cd
// reads them.
std::vector<std::string> WithoutDots(const std::vector<std::string>& parts) {
  std::vector<std::string> kept;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part != "..")
      kept.push_back(part);
    else if (!kept.empty())
      kept.pop_back();
  }
  return kept;
}

}  // namespace

KeptFolder HostWindowsFolderPath(const std::string& typed) {
  // Folder names are read once for all the looks below.
  const FileOperationScope operation;
  const bool windowsPath =
      typed.size() >= 2 && typed[1] == ':' &&
      ((typed[0] >= 'A' && typed[0] <= 'Z') || (typed[0] >= 'a' && typed[0] <= 'z'));
  if (windowsPath) {
    std::string refusal = ShortNameRefusal(typed.substr(0, 2), SplitPath(typed.substr(2)));
    if (!refusal.empty()) return {"", refusal};
    return {typed, ""};
  }

  std::vector<std::string> parts;
  if (typed.empty() || !IsPathSeparator(typed[0])) {
    const std::string current = CurrentFolder();
    if (current.empty())
      return {"",
              "the current folder, from which a relative folder is taken, has a name that code "
              "page " +
                  std::to_string(TextCodePage()) + " cannot hold"};
    parts = SplitPath(current);
  }
  for (std::string& part : SplitPath(typed)) parts.push_back(std::move(part));
  parts = WithoutDots(parts);
  if (std::string refusal = ShortNameRefusal("", parts); !refusal.empty()) return {"", refusal};

  // As Wine names a Linux folder: the deepest folder on the way that is the folder of a drive.
  const std::string prefix = posix::WinePrefix();
  const std::vector<Drive> drives = PrefixDrives(prefix);
  for (size_t depth = parts.size() + 1; depth-- > 0;) {
    struct stat st;
    const std::string host = posix::HostPath(depth == 0 ? "\\" : Joined(parts, 0, depth));
    if (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    for (const Drive& drive : drives) {
      if (drive.device != st.st_dev || drive.inode != st.st_ino) continue;
      const std::string below = Joined(parts, depth, parts.size());
      return {std::string(1, drive.letter) + ":" + (below.empty() ? "\\" : below), ""};
    }
  }
  return {"", "no drive of the Wine prefix " + posix::NameFromHost(prefix).value_or(prefix) +
                  " leads to it or to a folder above it (the drives are the links in its "
                  "dosdevices folder): give a folder on one of its drives"};
}

}  // namespace platform
