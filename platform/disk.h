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

// A stream on the system's null device, opened with `mode` ("r", "rb", "w", "wb", "a", ...):
// reads find the end at once, writes succeed and go nowhere. nullptr when it cannot be opened.
FILE* OpenDiscardStream(const char* mode);

}  // namespace platform::host
