#include <windows.h>

#include <vector>

#include "platform/module.h"

namespace platform {

std::optional<std::string> HostOwnFileName(size_t bufferSize) {
  if (bufferSize == 0) return std::nullopt;
  std::vector<char> buffer(bufferSize, '\0');
  const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer.data(),
                                          static_cast<DWORD>(bufferSize));
  // A name that fills the buffer exactly was cut short.
  if (length == 0 || length >= bufferSize) return std::nullopt;
  return std::string(buffer.data(), length);
}

}  // namespace platform
