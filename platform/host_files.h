#pragma once
// The host's own file-system calls (platform/win32 or platform/posix). The patch logic never calls
// them directly: it uses platform/files.h, whose functions go to the active file services, and the
// host's services (platform/file_services.h) come here.
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
std::vector<std::string> FolderEntryNames(const std::string& folder);
std::optional<uint64_t> FileSize(const std::string& path);
std::optional<uint64_t> FreeDiskSpace(const std::string& folder);
// With `toDisk` false, only the stream's buffer is written and the size checked.
bool FlushToDisk(FILE* stream, std::optional<uint64_t> expectedSize, bool toDisk);

// True when FlushFilesTogether puts many files on the disk for less than flushing each.
bool CanFlushFilesTogether();
// Puts the data of the closed files `paths` on the disk. False when any could not be.
bool FlushFilesTogether(const std::vector<std::string>& paths);

// A stream on the system's null device, opened with `mode` ("r", "rb", "w", "wb", "a", ...):
// reads find the end at once, writes succeed and go nowhere. nullptr when it cannot be opened.
FILE* OpenDiscardStream(const char* mode);

}  // namespace platform::host
