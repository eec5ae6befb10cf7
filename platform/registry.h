#pragma once
// Read-only access to the one kind of registry value this program needs.
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The string value `valueName` of HKEY_LOCAL_MACHINE\`keyPath` as the 32-bit simulator sees it:
// on Windows the 32-bit view only (KEY_READ | KEY_WOW64_32KEY); on Linux, in a 64-bit Wine prefix,
// a key under Software is read under Software\Wow6432Node when it is there, else as it is. The text
// ends at its first zero; it and its zero must fit in `bufferSize` bytes (a value stored without a
// zero may fill them exactly). nullopt when the key or value is missing or the value does not fit.
std::optional<std::string> ReadMachineRegistryString(const std::string& keyPath,
                                                     const std::string& valueName,
                                                     size_t bufferSize);

}  // namespace platform
