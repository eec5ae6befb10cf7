#pragma once
// Maps a Windows-style path to this host's file system, as Wine lays a prefix out:
// "\" and "/" both separate and repeated separators count as one; "X:\..." goes through
// $WINEPREFIX/dosdevices/x: ($WINEPREFIX defaults to ~/.wine); a relative path stays relative to
// the current folder. Paths come in the code page (platform/posix/code_page.h) and go to the disk
// in UTF-8. Each component is matched to the disk without regard to case (platform::UpperCase):
// an exact match wins, otherwise the first case-insensitive match in byte order, otherwise the
// name as spelled (which is also how a created name reuses an existing one).
//
// Matching reads each folder's names once into an index. While an operation is open
// (BeginOperation .. EndOperation) the indexes are kept and updated through the Note* calls
// below, so each folder is read once per operation; outside an operation every call reads afresh.
#include <sys/stat.h>

#include <optional>
#include <string>

namespace platform::posix {

// The host path for `path`. A trailing separator is kept as "/"; an empty path stays empty.
std::string HostPath(const std::string& path);

// HostPath's answer, and whether it found that nothing is there: a folder on the way, or the last
// name, is missing from the folder's names as read in this operation (or now, outside one) and
// kept up to date by the Note* calls. A file call can then answer without asking the system.
struct ResolvedPath {
  std::string host;
  bool absent = false;
};
ResolvedPath ResolveHostPath(const std::string& path);

// A name of the program's (code page) as the file system spells it: UTF-8, as Wine creates it;
// bytes that are not text of the code page stay as they are.
std::string HostName(const std::string& name);

// A name the file system gave (a listing, the current folder) in the code page: a name that is
// not UTF-8 is taken as bytes of the code page; nullopt when the code page cannot hold it.
std::optional<std::string> NameFromHost(const std::string& host);

// The Wine prefix in use: $WINEPREFIX, or ~/.wine when unset or empty.
std::string WinePrefix();

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

// stat() of `host` (a path HostPath gave); false when it fails. While an operation is open, the
// answer is kept for a moment, so that the questions asked of one file in a row (does it exist,
// is it a folder, is it read-only, its size) cost one call. It is forgotten when this process
// changes the file (the Note* calls); a file opened for writing during the operation is asked
// afresh every time until it ends, since each write changes it.
bool StatOf(const std::string& host, struct stat& st);
// `host` is opened for writing (see StatOf).
void NoteWriting(const std::string& host);
// The contents of `host` were replaced in place (a file rewritten through a scratch file).
void NoteRewritten(const std::string& host);

}  // namespace platform::posix
