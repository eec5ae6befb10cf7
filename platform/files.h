#pragma once
// File-system services the patch logic uses, with the observable results of the Windows calls.
// Paths are 8-bit strings in the system code page; "\" separates folders on every host.
// The patch operations reach these through the disk they are handed (platform/file_layers/
// disk_interface.h); the functions that look at or change files go to the active file services
// (platform/file_layers/file_services.h): the host's own, or a WriteBatch's while one collects.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// True when a file or a folder of that name exists (as _access with mode 0).
bool PathExists(const std::string& path);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// Creates one folder; its parent must exist. True on success, false when it exists or fails.
bool CreateFolder(const std::string& path);

// Deletes a file; a folder of that name is never removed. True on success; a read-only file fails.
bool RemoveFile(const std::string& path);

// Moves a file or folder to `to`, which must not exist yet; works across folders, and for files
// across drives and file systems. Moving a read-only file works. True on success.
bool MovePath(const std::string& from, const std::string& to);

// Puts the file `from` in place of the file `to` in one step, replacing it when it exists.
// Fails (false, nothing changed) when `to` is read-only or a folder.
bool ReplaceFileWith(const std::string& from, const std::string& to);

// True when `path` is an existing file that may not be written (read-only attribute, or no write
// bit on POSIX hosts, even for root).
bool IsReadOnlyFile(const std::string& path);

// Opens a C stream as fopen does, with modes "r", "w", "a" (text) and "rb", "wb", "ab", "r+b",
// "wbx" (binary; "wbx" creates a new file and fails when one of that name exists). Text mode
// behaves as the Windows C runtime's: CR LF reads as "\n", a 0x1A byte ends the text, each "\n"
// written becomes CR LF. Returns nullptr on failure. Close with fclose, or own
// it with platform::UniqueStream (platform/stream_io.h).
FILE* OpenStream(const std::string& path, const char* mode);

// The names of the entries of `folder` (not "." and ".."), sorted byte by byte; empty when the
// folder cannot be listed.
std::vector<std::string> FolderEntryNames(const std::string& folder);

// The size in bytes of the file `path`; nullopt for a folder or a missing file.
std::optional<uint64_t> FileSize(const std::string& path);

// Bytes that may still be written to the disk that holds the existing folder `folder`, as the
// host reports them (never planned); nullopt when unknown.
std::optional<uint64_t> FreeDiskSpace(const std::string& folder);

// Writes the buffer of a binary stream opened for writing and has the system put the file's data
// on the disk (FlushFileBuffers, fsync), so that it survives a power cut; with `expectedSize`, also
// checks that the file now holds that many bytes (a C runtime may lose a write error). A stream on
// something other than a disk file (the null device a plan writes to) only has its buffer written.
// False on any failure.
bool FlushToDisk(FILE* stream, std::optional<uint64_t> expectedSize = std::nullopt);

// As FlushToDisk, but leaves putting the data on the disk to the system (or to a WriteBatch,
// platform/file_layers/write_batch.h).
bool FlushToSystem(FILE* stream, std::optional<uint64_t> expectedSize = std::nullopt);

// Marks one operation of the program on the disk (a start-up, an install, a removal) for as long
// as it lives; operations may nest. While one is open the host may keep what it has read of
// folders' contents, trusting that only this process changes them; the next operation reads
// afresh, so changes made by other programs in between are seen. Both hosts keep such a name index
// (how each name is spelled on disk, which are missing) for the operation's length.
class FileOperationScope {
public:
  FileOperationScope();
  ~FileOperationScope();
  FileOperationScope(const FileOperationScope&) = delete;
  FileOperationScope& operator=(const FileOperationScope&) = delete;
};

// The most characters a full path may have for the host's file calls to accept it: 259 on Windows
// (MAX_PATH less the terminating zero), 4095 on Linux (PATH_MAX less the terminating zero).
size_t LongestPathLength();

// True when the system refuses `path` for its length alone: the full path (a relative one taken
// from the current folder; on Linux as it reaches the file system) is longer than
// LongestPathLength(), or one of its names is longer than 255. Looks at no file.
bool PathTooLong(const std::string& path);

// Makes `path` the process's current folder. True on success.
bool SetCurrentFolder(const std::string& path);

// The process's current folder as a full path.
std::string CurrentFolder();

}  // namespace platform
