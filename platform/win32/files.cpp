#include "platform/host_files.h"

#include "platform/files.h"

#include <io.h>
#include <windows.h>

#include <cerrno>
#include <vector>

namespace platform::host {

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

bool PathExists(const std::string& path) { return _access(path.c_str(), 0) == 0; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool MovePath(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED) != 0;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  // Checked first: not every system refuses to replace a read-only target, and a folder must
  // never be replaced by a file.
  const DWORD target = Attributes(to);
  if (target != INVALID_FILE_ATTRIBUTES &&
      (target & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;
  // Write-through: the move is on the disk when the call returns, as the file it moves already is.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) !=
         0;
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

FILE* OpenStream(const std::string& path, const char* mode) {
  // Windows refuses to write a read-only file; Wine run as root only clears the write bits, which
  // root ignores, so the attribute is checked here as well.
  const std::string m = mode;
  if (m.find_first_of("wa+") != std::string::npos && IsReadOnlyFile(path)) {
    errno = EACCES;
    return nullptr;
  }
  return std::fopen(path.c_str(), mode);
}

bool FlushToDisk(FILE* stream, std::optional<uint64_t> expectedSize, bool toDisk) {
  if (std::fflush(stream) != 0) return false;
  const intptr_t osHandle = _get_osfhandle(_fileno(stream));
  if (osHandle == -1) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(osHandle);
  if (GetFileType(handle) != FILE_TYPE_DISK) return true;
  LARGE_INTEGER size;
  if ((toDisk && !FlushFileBuffers(handle)) || !GetFileSizeEx(handle, &size)) return false;
  return !expectedSize || static_cast<uint64_t>(size.QuadPart) == *expectedSize;
}

// Windows can only flush a volume as a whole with administrator rights: each file is flushed.
bool CanFlushFilesTogether() { return false; }

bool FlushFilesTogether(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    if (!flushed) return false;
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

// The system matches names without regard to case itself: there is nothing to keep.
FileOperationScope::FileOperationScope() = default;
FileOperationScope::~FileOperationScope() = default;

}  // namespace platform
