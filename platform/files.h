#pragma once
// File-system services the patch logic uses, with the observable results of the Windows calls.
// Paths are 8-bit strings in the system code page; "\" separates folders on every host.
#include <cstdio>
#include <string>

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

// Opens a C stream as fopen does, with modes "r", "w", "a" (text) and "rb", "wb", "ab", "r+b"
// (binary). Text mode behaves as the Windows C runtime's: CR LF reads as "\n", a 0x1A byte ends the
// text, each "\n" written becomes CR LF. Returns nullptr on failure. Close with fclose.
FILE* OpenStream(const std::string& path, const char* mode);

// Reads one line as fgets does: at most limit-1 characters, the "\n" kept when it fits.
// False at the end of the stream (nothing read).
bool ReadLine(FILE* stream, int limit, std::string& line);

// Marks one operation of the program on the disk (a start-up, an install, a removal) for as long
// as it lives; operations may nest. While one is open the host may keep what it has read of
// folders' contents, trusting that only this process changes them; the next operation reads
// afresh, so changes made by other programs in between are seen. On Windows it does nothing.
class FileOperationScope {
public:
  FileOperationScope();
  ~FileOperationScope();
  FileOperationScope(const FileOperationScope&) = delete;
  FileOperationScope& operator=(const FileOperationScope&) = delete;
};

// Makes `path` the process's current folder. True on success.
bool SetCurrentFolder(const std::string& path);

// The process's current folder as a full path.
std::string CurrentFolder();

}  // namespace platform
