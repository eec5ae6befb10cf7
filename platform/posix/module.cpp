#include <unistd.h>

#include <vector>

#include "platform/module.h"
#include "platform/posix/path_resolver.h"

namespace platform {

std::optional<std::string> HostOwnFileName(size_t bufferSize) {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::nullopt;
    if (static_cast<size_t>(n) < buffer.size()) {
      std::optional<std::string> name =
          posix::NameFromHost(std::string(buffer.data(), static_cast<size_t>(n)));
      if (!name || name->size() + 1 > bufferSize) return std::nullopt;
      return name;
    }
    buffer.resize(buffer.size() * 2);  // possibly cut: try again with more room
  }
}

}  // namespace platform
