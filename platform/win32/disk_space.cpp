// platform/disk_space.h on Windows.
#include "platform/disk_space.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/name_index.h"

namespace platform {
namespace {

// The root of the volume that holds `folder` ("C:\", "\\server\share\", a mounted folder).
std::optional<std::string> VolumeRoot(const std::string& folder) {
  std::vector<char> root(MAX_PATH + 1);
  if (!GetVolumePathNameA(win32::SpellAsOnDisk(folder).path.c_str(), root.data(),
                          static_cast<DWORD>(root.size())))
    return std::nullopt;
  return std::string(root.data());
}

}  // namespace

std::optional<uint64_t> AllocationUnit(const std::string& folder) {
  const std::optional<std::string> root = VolumeRoot(folder);
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!root || !GetDiskFreeSpaceA(root->c_str(), &sectorsPerCluster, &bytesPerSector,
                                  &freeClusters, &clusters))
    return std::nullopt;
  return static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
}

std::optional<uint64_t> DiskIdentity(const std::string& folder) {
  const std::optional<std::string> root = VolumeRoot(folder);
  DWORD serial = 0;
  if (!root || !GetVolumeInformationA(root->c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                      nullptr, 0))
    return std::nullopt;
  return serial;
}

bool FolderAcceptsNewFiles(const std::string& folder) {
  const std::string spelled = win32::SpellAsOnDisk(folder).path;
  const DWORD attributes = GetFileAttributesA(spelled.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return false;
  // A name of this process alone; the system removes the file when it is closed, however this
  // program ends.
  const std::string probe = spelled + "\\~OVP" + std::to_string(GetCurrentProcessId()) + ".TMP";
  const win32::UniqueHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                             nullptr));
  if (!file.IsOpen()) return false;
  const char byte = 0;
  DWORD written = 0;
  return WriteFile(file.Get(), &byte, 1, &written, nullptr) && written == 1;
}

}  // namespace platform
