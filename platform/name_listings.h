#pragma once
// The names of a folder as one listing read them, found without regard to letter case, and the
// listings one file operation keeps: each folder is read on its first use and dropped when the
// outermost operation ends. The host decides how a folder is read, what identifies a folder and
// what key a name has (its upper case, platform::UpperCase); both hosts share what follows.
#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

// False for "", "." and "..", which name no entry of a folder.
inline bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != "..";
}

// One folder's names: each key -> the spellings on disk that have it, in byte order.
class NameListing {
public:
  // True once the folder was read; a listing of a folder that could not be read knows nothing.
  bool Listed() const { return listed_; }

  // Reading a folder: MarkListed, AddListed for each name it holds, then SortListed once.
  void MarkListed() { listed_ = true; }
  void AddListed(std::string key, std::string spelling);
  void SortListed();

  // The spelling on disk that `spelling` (whose key is `key`) matches: itself when the folder
  // holds it, otherwise the first in byte order; nullptr when no name has that key.
  const std::string* Match(const std::string& key, const std::string& spelling) const {
    const auto found = byKey_.find(key);
    if (found == byKey_.end()) return nullptr;
    const std::vector<std::string>& spellings = found->second;
    return std::binary_search(spellings.begin(), spellings.end(), spelling) ? &spelling
                                                                            : &spellings.front();
  }

  // This process created `spelling`: it joins the spellings of `key` unless already there.
  void Add(const std::string& key, const std::string& spelling);
  // As Add, but only when no spelling has `key` (where creating a name that exists in another
  // letter case opens that one).
  void AddUnlessHeld(std::string key, const std::string& spelling);
  // This process removed `spelling`; a key left without spellings goes.
  void Remove(const std::string& key, const std::string& spelling);

private:
  bool listed_ = false;
  std::unordered_map<std::string, std::vector<std::string>> byKey_;
};

// The listings of the open file operation by folder, `FolderKey` being what identifies a folder
// on the host. Operations nest; the listings are dropped when the outermost ends.
template <typename FolderKey, typename Hash = std::hash<FolderKey>>
class OperationListings {
public:
  void Begin() { ++depth_; }
  // Ends one operation; true when it was the outermost, whose listings are then dropped.
  bool End() {
    if (depth_ == 0 || --depth_ > 0) return false;
    listings_.clear();
    return true;
  }
  bool InOperation() const { return depth_ > 0; }

  // The listing of `folder`, filled by `read(NameListing&)` on its first use in the operation.
  template <typename Read>
  NameListing& ListingOf(FolderKey folder, Read&& read) {
    auto [slot, added] = listings_.try_emplace(std::move(folder));
    if (added) read(slot->second);
    return slot->second;
  }

  // The listing of `folder` when it was read in this operation and the folder could be listed;
  // nullptr otherwise.
  NameListing* ListedFolder(const FolderKey& folder) {
    const auto found = listings_.find(folder);
    return found != listings_.end() && found->second.Listed() ? &found->second : nullptr;
  }

  // Forgets every listing (folders changed in ways the listings cannot follow).
  void DropListings() { listings_.clear(); }

private:
  int depth_ = 0;  // open operations
  std::unordered_map<FolderKey, NameListing, Hash> listings_;
};

}  // namespace platform
