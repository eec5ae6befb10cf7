#include "platform/posix/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/name_listings.h"
#include "platform/posix/code_page.h"
#include "platform/posix/handles.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

// A name on disk in the code page (NameFromHost).
std::optional<std::string> NameInCodePage(const CodePage& codePage, const std::string& host) {
  std::string unheld;
  std::optional<std::string> name = codePage.FromUtf8(host, &unheld);
  // Not UTF-8: taken as bytes of the code page, so that a folder copied from Windows as it was is
  // found.
  if (!name && unheld.empty()) return host;
  return name;
}

// What every spelling of a name on disk in other letter case has in common: the name in the code
// page, folded as the system folds it; nullopt for a name the code page cannot hold, which no name
// of the program's can reach.
std::optional<std::string> HostNameKey(const CodePage& codePage, const std::string& host) {
  std::optional<std::string> name = NameInCodePage(codePage, host);
  if (!name) return std::nullopt;
  return codePage.Upper(*name);
}

// `dir` + "/" + `name`, where "" means the current folder.
std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  std::string path;
  path.reserve(dir.size() + 1 + name.size());
  path.append(dir);
  if (dir.back() != '/') path += '/';
  return path.append(name);
}

// Join(dir, name), made in the room of `dir`.
void AppendName(std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  dir += name;
}

// A host path split as Join built it: the folder ("" for the current one) and the last name, as
// views into `host`.
std::pair<std::string_view, std::string_view> SplitLastView(const std::string& host) {
  const std::string_view whole(host);
  size_t end = whole.size();
  while (end > 1 && whole[end - 1] == '/') --end;
  const size_t slash = whole.rfind('/', end - 1);
  if (slash == std::string_view::npos) return {"", whole.substr(0, end)};
  return {slash == 0 ? whole.substr(0, 1) : whole.substr(0, slash),
          whole.substr(slash + 1, end - slash - 1)};
}

// A folder's identity, so that two spellings of one folder (a symbolic link such as
// dosdevices/c:, "x/..", relative and absolute paths) share one index.
using FolderId = std::pair<dev_t, ino_t>;

// The listings are found by FolderId.
struct FolderIdHash {
  size_t operator()(const FolderId& id) const {
    return std::hash<ino_t>()(id.second) ^ (std::hash<dev_t>()(id.first) << 1);
  }
};

// A path resolved so far: the host folder ("" = the current one) and whether it exists.
struct Walk {
  std::string base;
  bool found = true;  // once a component is missing, nothing below it can exist
};

// The folder part of the last path resolved in an operation, and what it resolved to.
struct FolderMemo {
  std::string folder;  // as the caller spelled it
  Walk walk;
};

// Paths of one operation mostly lie in a few folders (the FS2004 scenery folder, the patch
// folder): that many folder parts are remembered, the most recent first.
constexpr size_t kFolderMemos = 4;

// The questions and the copy of one file resolve the same few paths in a row: that many whole
// paths are remembered, the oldest making room for the next, until the next change of names.
constexpr size_t kRecentPaths = 8;

// How long StatOf trusts a stat() it made: long enough for the questions asked of one file in a
// row, short enough that a change another program makes meanwhile is seen about as soon as before.
constexpr std::chrono::milliseconds kStatHold{1000};

// A stat() that StatOf made, and until when it holds.
struct KeptStat {
  struct stat st;
  std::chrono::steady_clock::time_point until;
};

// The whole paths resolved last, in a ring: each new one takes the place of the oldest. Forgetting
// them keeps the entries' strings, so that the paths resolved next reuse their room.
class RecentPaths {
public:
  const ResolvedPath* Find(const std::string& path) const {
    for (size_t i = 0; i < count_; ++i)
      if (entries_[i].first == path) return &entries_[i].second;
    return nullptr;
  }

  void Add(const std::string& path, const ResolvedPath& resolved) {
    std::pair<std::string, ResolvedPath>& entry = entries_[next_];
    entry.first = path;
    entry.second = resolved;
    next_ = (next_ + 1) % entries_.size();
    if (count_ < entries_.size()) ++count_;
  }

  void Forget() { count_ = next_ = 0; }

private:
  std::array<std::pair<std::string, ResolvedPath>, kRecentPaths> entries_;
  size_t count_ = 0;  // entries in use: the first count_
  size_t next_ = 0;   // the entry the next path takes
};

// Each listing is keyed by the HostNameKey of its names.
struct Indexes {
  OperationListings<FolderId, FolderIdHash> listings;
  std::vector<FolderMemo> memos;  // each forgotten when a change could resolve it otherwise
  RecentPaths recentPaths;  // all forgotten at any change
  std::unordered_map<std::string, FolderId> folderIds;  // folder path as Join built it
  // StatOf's answers and the files opened for writing, by FileKey.
  std::unordered_map<std::string, KeptStat> keptStats;
  std::unordered_set<std::string> writing;
  bool keepNoStats = false;  // a file opened for writing had no key: nothing is kept any more
};

Indexes& State() {
  static Indexes state;
  return state;
}

void ReadFolder(const std::string& dir, NameListing& index) {
  const UniqueFolderListing listing(opendir(dir.empty() ? "." : dir.c_str()));
  if (!listing.IsOpen()) return;
  index.MarkListed();
  const CodePage& codePage = ActiveCodePage();
  while (const dirent* entry = readdir(listing.Get())) {
    std::string name = entry->d_name;
    if (!IsEntryName(name)) continue;
    if (std::optional<std::string> key = HostNameKey(codePage, name))
      index.AddListed(std::move(*key), std::move(name));
  }
  index.SortListed();
}

// The index of the folder `dir`, read on its first use in the operation; nullptr when `dir` is
// not a folder.
NameListing* IndexOf(const std::string& dir) {
  Indexes& state = State();
  FolderId id;
  if (const auto known = state.folderIds.find(dir); known != state.folderIds.end()) {
    id = known->second;
  } else {
    struct stat st;
    if (stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    id = {st.st_dev, st.st_ino};
    state.folderIds.emplace(dir, id);
  }
  return &state.listings.ListingOf(id, [&](NameListing& index) { ReadFolder(dir, index); });
}

// The index that holds the last name of `host`, and that name; nullptr outside an operation or
// when the folder has not been looked into during it.
std::pair<NameListing*, std::string> IndexHolding(const std::string& host) {
  Indexes& state = State();
  if (!state.listings.InOperation()) return {nullptr, ""};
  const auto [dir, name] = SplitLastView(host);
  if (!IsEntryName(name)) return {nullptr, ""};
  const auto id = state.folderIds.find(std::string(dir));
  if (id == state.folderIds.end()) return {nullptr, ""};
  NameListing* index = state.listings.ListedFolder(id->second);
  if (!index) return {nullptr, ""};
  return {index, std::string(name)};
}

// The on-disk spelling of the name `name` (code page; `spelled` as the file system spells it)
// inside `dir`, or "" when no entry matches.
std::string FindEntry(const std::string& dir, const std::string& name, const std::string& spelled) {
  const NameListing* index = IndexOf(dir);
  if (!index) return "";
  if (!index->Listed()) {
    struct stat st;
    return lstat(Join(dir, spelled).c_str(), &st) == 0 ? spelled : "";
  }
  const std::string* onDisk = index->Match(UpperCase(name), spelled);
  return onDisk ? *onDisk : "";
}

// Resolves one more component (code page).
void Step(Walk& walk, const std::string& part) {
  std::string name = HostName(part);
  if (walk.found && IsEntryName(part)) {
    const std::string onDisk = FindEntry(walk.base, part, name);
    if (onDisk.empty())
      walk.found = false;
    else
      name = onDisk;
  }
  AppendName(walk.base, name);
}

// Resolves the drive or root of `path` and its components before index `end`.
Walk WalkFolders(const std::string& path, size_t end) {
  Walk walk;
  size_t start = 0;
  const bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                        ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  if (hasDrive) {
    walk.base = WinePrefix() + "/dosdevices/" + AsciiLower(path[0]) + ":";
    start = 2;
  } else if (IsPathSeparator(path[0])) {
    walk.base = "/";
  }
  if (end > start)
    for (const std::string& part : SplitPath(path.substr(start, end - start))) Step(walk, part);
  return walk;
}

// Keeps the indexes for one HostPath call when no operation is open.
class CallOperation {
public:
  CallOperation() { BeginOperation(); }
  ~CallOperation() { EndOperation(); }
  CallOperation(const CallOperation&) = delete;
  CallOperation& operator=(const CallOperation&) = delete;
};

}  // namespace

std::string HostName(const std::string& name) {
  return ActiveCodePage().ToUtf8(name).value_or(name);
}

std::optional<std::string> NameFromHost(const std::string& host) {
  return NameInCodePage(ActiveCodePage(), host);
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.wine";
}

std::string HostPath(const std::string& path) { return ResolveHostPath(path).host; }

namespace {

// ResolveHostPath without the whole paths it remembers.
ResolvedPath ResolveUnremembered(const std::string& path, bool inOperation) {
  CallOperation call;
  // The folder part is resolved once for the paths in one folder (until something changes).
  const size_t cut = FindLastSeparator(path);
  const bool lastNamed = cut != std::string::npos && cut + 1 < path.size();
  const bool memorable = lastNamed && inOperation;
  std::vector<FolderMemo>& memos = State().memos;
  const auto memo = !memorable ? memos.end()
                               : std::find_if(memos.begin(), memos.end(), [&](const FolderMemo& m) {
                                   return m.folder.compare(0, std::string::npos, path, 0, cut) == 0;
                                 });
  Walk walk;
  if (memo != memos.end()) {
    // Room for the last name as well (as spelled; on disk it may take more), which Step appends.
    walk.base.reserve(memo->walk.base.size() + path.size() - cut);
    walk.base = memo->walk.base;
    walk.found = memo->walk.found;
    std::rotate(memos.begin(), memo, memo + 1);
  } else {
    walk = WalkFolders(path, lastNamed ? cut : path.size());
    if (memorable) {
      if (memos.size() == kFolderMemos) memos.pop_back();
      memos.insert(memos.begin(), {path.substr(0, cut), walk});
    }
  }
  if (lastNamed) Step(walk, path.substr(cut + 1));
  std::string& base = walk.base;
  if (base.empty()) return {".", false};
  if (IsPathSeparator(path.back()) && base.back() != '/') base += '/';
  return {std::move(base), !walk.found};
}

}  // namespace

ResolvedPath ResolveHostPath(const std::string& path) {
  if (path.empty()) return {};  // names nothing, as on Windows
  const bool inOperation = InOperation();
  RecentPaths& recent = State().recentPaths;
  if (inOperation)
    if (const ResolvedPath* known = recent.Find(path)) return *known;
  ResolvedPath resolved = ResolveUnremembered(path, inOperation);
  if (inOperation) recent.Add(path, resolved);
  return resolved;
}

namespace {

// What identifies the file `host` for StatOf: its folder's identity and its name, so that two
// spellings of one folder share it; nullopt when the folder was not looked into in this operation.
std::optional<std::string> FileKey(const std::string& host) {
  const auto [dir, name] = SplitLastView(host);
  if (!IsEntryName(name)) return std::nullopt;
  const auto id = State().folderIds.find(std::string(dir));
  if (id == State().folderIds.end()) return std::nullopt;
  // The folder's device and inode as their bytes, then the name: a fixed-width prefix needs no
  // separator and no conversion to text.
  std::string key;
  key.reserve(sizeof id->second.first + sizeof id->second.second + name.size());
  key.append(reinterpret_cast<const char*>(&id->second.first), sizeof id->second.first);
  key.append(reinterpret_cast<const char*>(&id->second.second), sizeof id->second.second);
  key += name;
  return key;
}

// Drops what StatOf knows of `host`; everything when it cannot tell which file that is.
void ForgetStat(const std::string& host) {
  Indexes& state = State();
  if (state.keptStats.empty()) return;
  if (const std::optional<std::string> key = FileKey(host))
    state.keptStats.erase(*key);
  else
    state.keptStats.clear();
}

}  // namespace

bool StatOf(const std::string& host, struct stat& st) {
  Indexes& state = State();
  const std::optional<std::string> key =
      state.listings.InOperation() && !state.keepNoStats ? FileKey(host) : std::nullopt;
  if (!key || state.writing.count(*key)) return stat(host.c_str(), &st) == 0;
  const auto now = std::chrono::steady_clock::now();
  if (const auto kept = state.keptStats.find(*key);
      kept != state.keptStats.end() && now < kept->second.until) {
    st = kept->second.st;
    return true;
  }
  if (stat(host.c_str(), &st) != 0) {
    state.keptStats.erase(*key);
    return false;
  }
  state.keptStats[*key] = {st, now + kStatHold};
  return true;
}

void NoteWriting(const std::string& host) {
  Indexes& state = State();
  if (!state.listings.InOperation()) return;
  if (const std::optional<std::string> key = FileKey(host)) {
    state.keptStats.erase(*key);
    state.writing.insert(*key);
  } else {
    state.keepNoStats = true;
    state.keptStats.clear();
  }
}

void NoteRewritten(const std::string& host) { ForgetStat(host); }

void BeginOperation() {
  HoldActiveCodePage();
  State().listings.Begin();
}

bool InOperation() { return State().listings.InOperation(); }

void EndOperation() {
  Indexes& state = State();
  if (state.listings.End()) {
    state.folderIds.clear();
    state.memos.clear();
    state.recentPaths.Forget();
    state.keptStats.clear();
    state.writing.clear();
    state.keepNoStats = false;
  }
  ReleaseActiveCodePage();
}

namespace {

// Forgets the folder parts that an entry `name` added to or removed from the host folder `dir`
// could resolve otherwise: those that looked up a name of that spelling, in any letter case, in
// `dir`. Relative paths may lead through any folder: with one on either side, all are forgotten.
void ForgetWalksThrough(std::string_view dir, std::string_view name) {
  std::vector<FolderMemo>& memos = State().memos;
  if (dir.empty() || dir[0] != '/') {
    memos.clear();
    return;
  }
  // Where the names in `dir` start in a walk's path: after `dir` and its separator.
  const bool separated = dir.back() == '/';
  const size_t namesStart = separated ? dir.size() : dir.size() + 1;
  const CodePage& codePage = ActiveCodePage();
  // The HostNameKey of `name`, made only for a walk that lies below `dir`.
  bool keyMade = false;
  std::optional<std::string> key;
  const auto passesThrough = [&](const FolderMemo& memo) {
    const std::string& base = memo.walk.base;
    if (base.empty() || base[0] != '/') return true;
    if (base.size() < namesStart || base.compare(0, dir.size(), dir) != 0 ||
        (!separated && base[dir.size()] != '/'))
      return false;
    const size_t end = base.find('/', namesStart);
    const std::string part = base.substr(namesStart, end - namesStart);
    if (part == name) return true;
    if (!keyMade) {
      key = HostNameKey(codePage, std::string(name));
      keyMade = true;
    }
    return key && HostNameKey(codePage, part) == key;
  };
  memos.erase(std::remove_if(memos.begin(), memos.end(), passesThrough), memos.end());
}

}  // namespace

void NoteCreated(const std::string& host) {
  State().recentPaths.Forget();
  ForgetStat(host);
  const auto [dir, last] = SplitLastView(host);
  ForgetWalksThrough(dir, last);
  auto [index, name] = IndexHolding(host);
  if (!index) return;
  if (const std::optional<std::string> key = HostNameKey(ActiveCodePage(), name))
    index->Add(*key, name);
}

void NoteRemoved(const std::string& host) {
  State().recentPaths.Forget();
  ForgetStat(host);
  const auto [dir, last] = SplitLastView(host);
  ForgetWalksThrough(dir, last);
  auto [index, name] = IndexHolding(host);
  if (!index) return;
  if (const std::optional<std::string> key = HostNameKey(ActiveCodePage(), name))
    index->Remove(*key, name);
}

void NoteFoldersMoved() {
  State().recentPaths.Forget();
  State().memos.clear();
  State().keptStats.clear();
  if (State().listings.InOperation()) State().folderIds.clear();
}

}  // namespace platform::posix
