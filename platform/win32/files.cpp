// The host file calls of platform/host_files.h and the host parts of platform/files.h.
#include "platform/host_files.h"

#include "platform/files.h"
#include "platform/held_files.h"
#include "platform/strings.h"
#include "platform/win32/handles.h"
#include "platform/win32/held_files.h"
#include "platform/win32/name_index.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <functional>
#include <vector>

namespace platform::host {

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// `path` spelled as on disk, and whether it is known to be absent (win32/name_index.h).
win32::DiskSpelling Spelled(const std::string& path) { return win32::SpellAsOnDisk(path); }

// A Win32 call (true on success) tried again for a moment while another program holds its file.
bool RetriedWhileHeld(const std::function<bool()>& call) {
  return RetryWhileHeld(call, [] { return win32::HeldError(GetLastError()); });
}

// MoveFileExA, tried again for a moment while another program holds a file it moves or replaces.
bool MoveFileRetried(const std::string& from, const std::string& to, DWORD flags) {
  return RetriedWhileHeld([&] { return MoveFileExA(from.c_str(), to.c_str(), flags) != 0; });
}

FILE* OpenWithMode(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

// fopen's "wbx" (the file must not exist yet), which msvcrt's fopen does not know.
FILE* OpenNewBinaryFile(const std::string& path, const char* /*mode*/) {
  const int fd =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd == -1) return nullptr;
  FILE* stream = _fdopen(fd, "wb");
  if (!stream) _close(fd);
  return stream;
}

}  // namespace

bool PathExists(const std::string& path) {
  const win32::DiskSpelling spelled = Spelled(path);
  return !spelled.missing && _access(spelled.path.c_str(), 0) == 0;
}

bool IsFolder(const std::string& path) {
  const win32::DiskSpelling spelled = Spelled(path);
  if (spelled.missing) return false;
  const DWORD attributes = Attributes(spelled.path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::string& path) {
  if (CreateDirectoryA(Spelled(path).path.c_str(), nullptr) == 0) return false;
  win32::NoteFoldersChanged();
  return true;
}

bool RemoveFile(const std::string& path) {
  const win32::DiskSpelling spelled = Spelled(path);
  if (spelled.missing ||
      !RetriedWhileHeld([&] { return DeleteFileA(spelled.path.c_str()) != 0; }))
    return false;
  win32::NoteRemoved(spelled.path);
  return true;
}

bool MovePath(const std::string& from, const std::string& to) {
  const std::string source = Spelled(from).path;
  // The moved entry takes the name as given (a rename may only change its letter case).
  const std::string target = win32::SpellAsOnDisk(to, true).path;
  const DWORD attributes = Attributes(source);
  if (!MoveFileRetried(source, target, MOVEFILE_COPY_ALLOWED)) return false;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    win32::NoteFoldersChanged();
  } else {
    win32::NoteRemoved(source);
    win32::NoteCreated(target);
  }
  return true;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  const std::string source = Spelled(from).path;
  const win32::DiskSpelling target = Spelled(to);
  // Checked first: not every system refuses to replace a read-only target, and a folder must
  // never be replaced by a file. A target known to be absent is not looked up again.
  const DWORD attributes = target.missing ? INVALID_FILE_ATTRIBUTES : Attributes(target.path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;
  // Write-through: the move is on the disk when the call returns, as the file it moves already is.
  if (!MoveFileRetried(source, target.path,
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
    return false;
  win32::NoteRemoved(source);
  win32::NoteCreated(target.path);
  return true;
}

bool IsReadOnlyFile(const std::string& path) {
  const win32::DiskSpelling spelled = Spelled(path);
  if (spelled.missing) return false;
  const DWORD attributes = Attributes(spelled.path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Windows ignores a folder's read-only attribute and decides by its access rights only when a
// change is tried: nothing is known to be refused beforehand.
bool FolderAcceptsChanges(const std::string& /*folder*/) { return true; }

FILE* OpenStream(const std::string& path, const char* mode) {
  const win32::DiskSpelling spelled = Spelled(path);
  const std::string m = mode;
  const bool writes = m.find_first_of("wa+") != std::string::npos;
  if (!writes && spelled.missing) {
    errno = ENOENT;
    return nullptr;
  }
  // Windows refuses to write a read-only file; Wine run as root only clears the write bits, which
  // root ignores, so the attribute is checked here as well.
  if (writes && !spelled.missing && IsReadOnlyFile(spelled.path)) {
    errno = EACCES;
    return nullptr;
  }
  // The C runtime keeps the system's error of a failed open in _doserrno.
  FILE* stream = nullptr;
  const auto openStream = m == "wbx" ? OpenNewBinaryFile : OpenWithMode;
  RetryWhileHeld([&] { return (stream = openStream(spelled.path, mode)) != nullptr; },
                 [] { return win32::HeldError(static_cast<unsigned long>(_doserrno)); });
  if (stream && writes) win32::NoteCreated(spelled.path);
  return stream;
}

bool FlushStream(FILE* stream, std::optional<uint64_t> expectedSize, FlushDepth depth) {
  if (std::fflush(stream) != 0) return false;
  const intptr_t osHandle = _get_osfhandle(_fileno(stream));
  if (osHandle == -1) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(osHandle);
  if (GetFileType(handle) != FILE_TYPE_DISK) return true;
  LARGE_INTEGER size;
  if (depth == FlushDepth::kToDisk && !FlushFileBuffers(handle)) return false;
  if (!GetFileSizeEx(handle, &size)) return false;
  return !expectedSize || static_cast<uint64_t>(size.QuadPart) == *expectedSize;
}

// Windows can only flush a volume as a whole with administrator rights: each file is flushed.
bool CanFlushFilesTogether() { return false; }

bool FlushFilesTogether(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || !FlushFileBuffers(file.Get())) return false;
  }
  return true;
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string CurrentFolder() {
  // The needed size includes the terminating zero; retry if the folder changed in between.
  for (;;) {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::vector<char> buffer(needed);
    const DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0) return {};
    if (length < needed) return std::string(buffer.data(), length);
  }
}

}  // namespace platform::host

namespace platform {

// The longest name of one file or folder that NTFS and FAT32 keep.
constexpr size_t kLongestName = 255;

size_t LongestPathLength() { return MAX_PATH - 1; }

bool PathTooLong(const std::string& path) {
  const bool full = path.size() >= 2 &&
                    (path[1] == ':' || (IsPathSeparator(path[0]) && IsPathSeparator(path[1])));
  const std::string whole = full ? path : host::CurrentFolder() + "\\" + path;
  if (whole.size() > LongestPathLength()) return true;
  size_t nameLength = 0;
  for (char c : whole) {
    nameLength = IsPathSeparator(c) ? 0 : nameLength + 1;
    if (nameLength > kLongestName) return true;
  }
  return false;
}

FileOperationScope::FileOperationScope() { win32::BeginOperation(); }
FileOperationScope::~FileOperationScope() { win32::EndOperation(); }

}  // namespace platform
