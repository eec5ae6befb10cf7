#pragma once
// HKEY_LOCAL_MACHINE as the Wine prefix keeps it: $WINEPREFIX/system.reg, read as UTF-16 text.
#include <optional>
#include <string>

namespace platform::posix {

struct RegistryString {
  std::u16string units;     // up to the first zero
  bool terminated = false;  // the stored value held a zero (a value may be stored without one)
};

// The string value `valueName` ("" for the default value) of HKLM\`keyPath` (parts separated by
// "\") in the prefix's system.reg; key and value names match without regard to case. A key under
// Software is looked up in the 32-bit view first in a 64-bit prefix. nullopt when the key or value
// is missing or the value is not a string.
std::optional<RegistryString> ReadSystemRegistryString(const std::u16string& keyPath,
                                                       const std::u16string& valueName);

}  // namespace platform::posix
