#include "support/wine_prefix.h"

#include <filesystem>

#include "support/temp_folder.h"

namespace testsupport {

void MakePrefixWithRootDrive(const std::string& prefix) {
  const std::filesystem::path devices = std::filesystem::path(HostPath(prefix)) / "dosdevices";
  std::filesystem::create_directories(devices);
  std::filesystem::create_directory_symlink("/", devices / "z:");
}

}  // namespace testsupport
