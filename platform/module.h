#pragma once
// The full file name of the running program (GetModuleFileNameA of the process's own module).
// platform/module.cpp keeps the override and answers OwnFileName; each host's module.cpp supplies
// HostOwnFileName.
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The program's own file name, or nullopt when the system cannot give it in `bufferSize` bytes.
// An override set with OverrideOwnFileName is returned instead when present.
std::optional<std::string> OwnFileName(size_t bufferSize);

// Makes OwnFileName return `fileName` (the command line's --patch-dir, tests); nullopt restores it.
void OverrideOwnFileName(std::optional<std::string> fileName);

// Makes OwnFileName return `fileName` while it lives; then the override before it holds again.
class ScopedOwnFileName {
public:
  explicit ScopedOwnFileName(std::string fileName);
  ~ScopedOwnFileName();
  ScopedOwnFileName(const ScopedOwnFileName&) = delete;
  ScopedOwnFileName& operator=(const ScopedOwnFileName&) = delete;

private:
  std::optional<std::string> previous_;
};

// The running program's full file name as the host gives it, or nullopt when it cannot be had or
// does not fit in `bufferSize` bytes together with its terminating zero. Ignores the override.
std::optional<std::string> HostOwnFileName(size_t bufferSize);

}  // namespace platform
