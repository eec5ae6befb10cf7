#include "platform/win32/name_index.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/name_listings.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

std::string Upper(const std::string& text) { return UpperCase(text); }

// True when the system folds the single-byte character `c` as UpperCase does for certain: printable
// ASCII, or a letter whose other case the code page holds (é and É in 1252). Other characters (µ,
// whose upper case lies outside the code page, double-byte characters) may match names on disk
// that the code page spells otherwise.
bool FoldsForCertain(unsigned char c) {
  if (c >= 0x20 && c <= 0x7E) return true;
  if (c < 0x80 || IsLeadByte(c)) return false;
  const std::string single(1, static_cast<char>(c));
  const std::string upper = UpperCase(single);
  if (upper != single) return true;
  // An upper-case letter: some other character folds to it.
  for (unsigned other = 0x80; other < 0x100; ++other)
    if (other != c && !IsLeadByte(static_cast<unsigned char>(other)) &&
        UpperCase(std::string(1, static_cast<char>(other))) == single)
      return true;
  return false;
}

// A name whose absence a listing proves: characters the system folds as UpperCase does, without
// a tilde before the extension (where a short name has its own), wildcards or the trailing dot or
// space that the system would read otherwise. Other names (short names, characters folded
// otherwise) are left to the system. A tilde in the extension is plain: the scratch files of
// whole-file writes ("AIRPORT.BG~") are looked up once per copy.
bool PlainName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  const size_t extension = name.find_last_of('.');
  if (name.find('~') < (extension == std::string::npos ? name.size() : extension)) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    static const std::array<bool, 256> certain = [] {
      std::array<bool, 256> table{};
      for (unsigned b = 0; b < 256; ++b) table[b] = FoldsForCertain(static_cast<unsigned char>(b));
      return table;
    }();
    return certain[static_cast<unsigned char>(c)] && c != '*' && c != '?';
  });
}

// "X:\" followed by the rest: the only paths the listings stand for.
bool FromDrive(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]) &&
         ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// The listings of the open operation, by upper-cased folder path as on disk; each listing is
// keyed by the upper case of its names.
using Listings = OperationListings<std::string>;

Listings& State() {
  static Listings listings;
  return listings;
}

void ReadFolder(const std::string& folder, NameListing& listing) {
  WIN32_FIND_DATAA found;
  const UniqueFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search.IsOpen()) return;
  listing.MarkListed();
  do {
    std::string name = found.cFileName;
    if (!IsEntryName(name)) continue;
    std::string key = Upper(name);  // before the name is moved away: argument order is unspecified
    listing.AddListed(std::move(key), std::move(name));
  } while (FindNextFileA(search.Get(), &found));
  listing.SortListed();
}

// The listing of `folder` (spelled as on disk), read on its first use in the operation.
NameListing& ListingOf(const std::string& folder) {
  return State().ListingOf(Upper(folder),
                           [&](NameListing& listing) { ReadFolder(folder, listing); });
}

struct Resolved {
  DiskSpelling spelling;
  bool complete = false;  // every component was found in a listing
};

Resolved Resolve(const std::string& path, bool keepLastName) {
  Resolved resolved{{path, false}, false};
  if (!State().InOperation() || !FromDrive(path)) return resolved;
  const std::vector<std::string> parts = SplitPath(path.substr(3));
  std::string spelled = path.substr(0, 2);
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    const std::string* onDisk = nullptr;
    bool listed = false;
    if (IsEntryName(part) && !(last && keepLastName)) {
      const NameListing& listing = ListingOf(spelled);
      listed = listing.Listed();
      onDisk = listing.Match(Upper(part), part);
    }
    if (!onDisk) {
      // The rest goes to the system as given.
      resolved.spelling.missing = last && listed && PlainName(part);
      for (size_t j = i; j < parts.size(); ++j) spelled += "\\" + parts[j];
      if (IsPathSeparator(path.back())) spelled += "\\";
      resolved.spelling.path = spelled;
      return resolved;
    }
    spelled += "\\" + *onDisk;
  }
  if (parts.empty() || IsPathSeparator(path.back())) spelled += "\\";
  resolved.spelling.path = spelled;
  resolved.complete = true;
  return resolved;
}

// The listing that holds the last name of `path` and that name; nullptr when none does for
// certain, in which case every listing is dropped (it may have been reached by another spelling).
std::pair<NameListing*, std::string> ListingHolding(const std::string& path) {
  Listings& listings = State();
  if (!listings.InOperation()) return {nullptr, ""};
  const size_t cut = FindLastSeparator(path);
  const std::string name = cut == std::string::npos ? "" : path.substr(cut + 1);
  // A file in a drive's root lies in "X:\\".
  const Resolved folder = cut == std::string::npos
                              ? Resolved{}
                              : Resolve(path.substr(0, cut == 2 ? 3 : cut), false);
  if (!IsEntryName(name) || !folder.complete) {
    listings.DropListings();
    return {nullptr, ""};
  }
  std::string key = folder.spelling.path;
  while (key.size() > 2 && IsPathSeparator(key.back())) key.pop_back();
  NameListing* listing = listings.ListedFolder(Upper(key));
  if (!listing) return {nullptr, ""};
  return {listing, name};
}

}  // namespace

DiskSpelling SpellAsOnDisk(const std::string& path, bool keepLastName) {
  return Resolve(path, keepLastName).spelling;
}

void BeginOperation() { State().Begin(); }

void EndOperation() { State().End(); }

void NoteCreated(const std::string& path) {
  auto [listing, name] = ListingHolding(path);
  // The system matches names without regard to case: a name it already has is opened, not added.
  if (listing) listing->AddUnlessHeld(Upper(name), name);
}

void NoteRemoved(const std::string& path) {
  auto [listing, name] = ListingHolding(path);
  if (listing) listing->Remove(Upper(name), name);
}

void NoteFoldersChanged() { State().DropListings(); }

}  // namespace platform::win32
