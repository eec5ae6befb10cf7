#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"

namespace platform {

std::optional<std::string> ReadMachineRegistryString(const std::string& keyPath,
                                                     const std::string& valueName,
                                                     size_t bufferSize) {
  // The simulator is a 32-bit program: its installer writes under the 32-bit view, which a 64-bit
  // build must ask for (32-bit Windows ignores the flag).
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) !=
      ERROR_SUCCESS)
    return std::nullopt;
  const win32::UniqueRegistryKey key(opened);
  // One spare byte so that the data pointer is never null, even for a zero-byte buffer.
  std::vector<char> buffer(bufferSize + 1, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  const LONG status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS || size > bufferSize) return std::nullopt;
  // The text ends at its first zero, or at the end of the data when it was stored without one.
  size_t length = 0;
  while (length < size && buffer[length] != '\0') ++length;
  return std::string(buffer.data(), length);
}

}  // namespace platform
