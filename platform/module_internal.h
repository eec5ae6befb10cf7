#pragma once
// Split of platform/module.h: module_override.cpp (portable) keeps the override and answers
// OwnFileName; each host's module.cpp supplies the real lookup below.
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The running program's full file name as the host gives it, or nullopt when it cannot be had or
// does not fit in `bufferSize` bytes together with its terminating zero.
std::optional<std::string> HostOwnFileName(size_t bufferSize);

}  // namespace platform
