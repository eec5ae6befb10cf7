#pragma once
// The full file name of the running program (GetModuleFileNameA of the process's own module).
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The program's own file name, or nullopt when the system cannot give it in `bufferSize` bytes.
// An override set with OverrideOwnFileName is returned instead when present.
std::optional<std::string> OwnFileName(size_t bufferSize);

// Makes OwnFileName return `fileName` (the command line's --patch-dir, tests); nullopt restores it.
void OverrideOwnFileName(std::optional<std::string> fileName);

}  // namespace platform
