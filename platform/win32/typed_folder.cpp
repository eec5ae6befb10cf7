#include <windows.h>

#include <vector>

#include "platform/typed_folder.h"

namespace platform {

KeptFolder HostWindowsFolderPath(const std::string& typed) {
  const bool withDriveRoot =
      typed.size() >= 3 && typed[1] == ':' && (typed[2] == '\\' || typed[2] == '/');
  const bool network = typed.size() >= 2 && typed[0] == '\\' && typed[1] == '\\';
  if (withDriveRoot || network) return {typed, ""};
  // The needed size includes the terminating zero; retry if the current folder changed meanwhile.
  for (;;) {
    const DWORD needed = GetFullPathNameA(typed.c_str(), 0, nullptr, nullptr);
    if (needed == 0) break;
    std::vector<char> buffer(needed);
    const DWORD length = GetFullPathNameA(typed.c_str(), needed, buffer.data(), nullptr);
    if (length == 0) break;
    if (length < needed) return {std::string(buffer.data(), length), ""};
  }
  return {"", "the system cannot make it a full path"};
}

}  // namespace platform
