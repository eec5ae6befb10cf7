#pragma once
// The host's own file-system calls (platform/win32 or platform/posix). The patch logic never calls
// them directly: it uses platform/files.h, whose functions go to the active file services, and the
// host's services (platform/file_layers/file_services.h) come here.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform::host {

// As the functions of the same names in platform/files.h, on the real disk.
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);
bool MovePath(const std::string& from, const std::string& to);
bool ReplaceFileWith(const std::string& from, const std::string& to);
bool IsReadOnlyFile(const std::string& path);
bool FolderAcceptsChanges(const std::string& folder);
FILE* OpenStream(const std::string& path, const char* mode);
bool SetCurrentFolder(const std::string& path);
std::string CurrentFolder();
// How far FlushStream takes a stream's data: to the system (the buffer written, putting it on the
// disk left to the system) or onto the disk (FlushFileBuffers, fsync).
enum class FlushDepth { kToSystem, kToDisk };
// platform::FlushToSystem for kToSystem, platform::FlushToDisk for kToDisk.
bool FlushStream(FILE* stream, std::optional<uint64_t> expectedSize, FlushDepth depth);

// True when FlushFilesTogether puts many files on the disk for less than flushing each.
bool CanFlushFilesTogether();
// Puts the data of the closed files `paths` on the disk. False when any could not be.
bool FlushFilesTogether(const std::vector<std::string>& paths);

}  // namespace platform::host
