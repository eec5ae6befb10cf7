#include <windows.h>

#include <algorithm>

#include "platform/disk.h"
#include "platform/win32/handles.h"
#include "platform/win32/name_index.h"

namespace platform::host {

std::vector<std::string> FolderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const win32::UniqueFindHandle search(
      FindFirstFileA((win32::SpellAsOnDisk(folder).path + "\\*").c_str(), &found));
  if (!search.IsOpen()) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<uint64_t> FileSize(const std::string& path) {
  const win32::DiskSpelling spelled = win32::SpellAsOnDisk(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (spelled.missing ||
      !GetFileAttributesExA(spelled.path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<uint64_t> FreeDiskSpace(const std::string& folder) {
  ULARGE_INTEGER available;
  // The folder must end with a separator when it is a share's root; a trailing one never hurts.
  const std::string root = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
  if (!GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

std::optional<std::string> FileVersion(const std::string& /*path*/) { return std::nullopt; }

FILE* OpenDiscardStream(const char* mode) { return std::fopen("NUL", mode); }

}  // namespace platform::host
