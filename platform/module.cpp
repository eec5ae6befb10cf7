#include "platform/module.h"

namespace platform {
namespace {

std::optional<std::string>& Override() {
  static std::optional<std::string> fileName;
  return fileName;
}

}  // namespace

std::optional<std::string> OwnFileName(size_t bufferSize) {
  if (Override()) return Override();
  return HostOwnFileName(bufferSize);
}

void OverrideOwnFileName(std::optional<std::string> fileName) { Override() = std::move(fileName); }

}  // namespace platform
