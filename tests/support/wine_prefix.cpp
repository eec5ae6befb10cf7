#include "support/wine_prefix.h"

#include <algorithm>

namespace testsupport {

std::string OnRootDrive(const std::string& path) {
  std::string windows = path.size() >= 2 && path[1] == ':' ? path : "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

}  // namespace testsupport
