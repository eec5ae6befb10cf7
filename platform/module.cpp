#include "platform/module.h"

#include <utility>

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

ScopedOwnFileName::ScopedOwnFileName(std::string fileName)
    : previous_(std::exchange(Override(), std::move(fileName))) {}

ScopedOwnFileName::~ScopedOwnFileName() { Override() = std::move(previous_); }

}  // namespace platform
