#pragma once
// Read-only access to the one kind of registry value this program needs.
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The string value `valueName` of HKEY_LOCAL_MACHINE\`keyPath`, read (KEY_READ, the 32-bit view
// first) into a buffer of `bufferSize` bytes; a value without a terminating zero ends at the
// buffer's end. nullopt when the key or value is missing or the value does not fit.
std::optional<std::string> ReadMachineRegistryString(const std::string& keyPath,
                                                     const std::string& valueName,
                                                     size_t bufferSize);

}  // namespace platform
