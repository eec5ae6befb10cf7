#pragma once
// Maps a Windows-style path to this host's file system, as Wine lays a prefix out:
// "\" and "/" both separate and repeated separators count as one; "X:\..." goes through
// $WINEPREFIX/dosdevices/x: ($WINEPREFIX defaults to ~/.wine); a relative path stays relative to
// the current folder. Each component is matched to the disk without regard to ASCII letter case:
// an exact match wins, otherwise the first case-insensitive match in byte order, otherwise the
// name as spelled (which is also how a created name reuses an existing one).
//
// Matching reads each folder's names once into an index. While an operation is open
// (BeginOperation .. EndOperation) the indexes are kept and updated through the Note* calls
// below, so each folder is read once per operation; outside an operation every call reads afresh.
#include <string>

namespace platform::posix {

// The host path for `path`. A trailing separator is kept as "/"; an empty path stays empty.
std::string HostPath(const std::string& path);

// The Wine prefix in use: $WINEPREFIX, or ~/.wine when unset or empty.
std::string WinePrefix();

// True when `a` and `b` are equal without regard to ASCII letter case.
bool EqualNoCase(const std::string& a, const std::string& b);

// Opens or ends one operation; they nest, and the indexes are dropped when the outermost ends.
void BeginOperation();
void EndOperation();
// True while an operation is open (not counting a single HostPath call's own).
bool InOperation();

// Tell the open operation's indexes about a change this process made: `host` (a path that
// HostPath gave) was created, or was removed. Nothing happens outside an operation.
void NoteCreated(const std::string& host);
void NoteRemoved(const std::string& host);
// A folder was moved, or the current folder changed: paths may now name other folders.
void NoteFoldersMoved();

}  // namespace platform::posix
