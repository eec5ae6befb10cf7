#pragma once
// The host's calls that read what a disk holds (platform/win32/disk.cpp, platform/posix/disk.cpp):
// folder listings, file sizes, free space, and the null device a plan writes to. Like
// platform/host_files.h, only the file services and platform/files.cpp call them.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform::host {

// As the functions of the same names in platform/files.h, on the real disk.
std::vector<std::string> FolderEntryNames(const std::string& folder);
std::optional<uint64_t> FileSize(const std::string& path);
std::optional<uint64_t> FreeDiskSpace(const std::string& folder);
// As platform::Disk::FileVersion: on Linux from the file's identity, size and times (its change
// time moves at every write), none for a file changed in the last seconds; none on Windows, which
// tells no change time without opening the file.
std::optional<std::string> FileVersion(const std::string& path);

// A stream on the system's null device, opened with `mode` ("r", "rb", "w", "wb", "a", ...):
// reads find the end at once, writes succeed and go nowhere. nullptr when it cannot be opened.
FILE* OpenDiscardStream(const char* mode);

}  // namespace platform::host
