#pragma once
// The drives a test's program sees: the Linux build through a stand-in Wine prefix, the Windows
// build those of the Wine it runs under.
#include <string>

namespace testsupport {

// Makes `prefix` (a host path) a Wine prefix for the Linux build whose drive Z: is the host's root,
// as in the prefixes Wine makes. Does nothing on Windows, where the drives are the system's.
void MakePrefixWithRootDrive(const std::string& prefix);

// The Windows path the program keeps for the host folder `path` in such a prefix: a path with a
// drive as it is, any other on drive Z: ("/tmp/x" -> "Z:\tmp\x").
std::string OnRootDrive(const std::string& path);

}  // namespace testsupport
