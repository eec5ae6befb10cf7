#pragma once
// Maps a Windows-style path to this host's file system, as Wine lays a prefix out:
// "\" and "/" both separate and repeated separators count as one; "X:\..." goes through
// $WINEPREFIX/dosdevices/x: ($WINEPREFIX defaults to ~/.wine); a relative path stays relative to
// the current folder. Each component is matched to the disk without regard to ASCII letter case:
// an exact match wins, otherwise the first case-insensitive match in byte order, otherwise the
// name as spelled (which is also how a created name reuses an existing one).
#include <string>

namespace platform::posix {

// The host path for `path`. A trailing separator is kept as "/"; an empty path stays empty.
std::string HostPath(const std::string& path);

// The Wine prefix in use: $WINEPREFIX, or ~/.wine when unset or empty.
std::string WinePrefix();

// True when `a` and `b` are equal without regard to ASCII letter case.
bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace platform::posix
