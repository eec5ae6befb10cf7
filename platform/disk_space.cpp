// The host-independent part of platform/disk_space.h.
#include "platform/disk_space.h"

namespace platform {

uint64_t RoundUpToUnits(uint64_t bytes, uint64_t unit) {
  if (unit == 0) return bytes;
  const uint64_t units = bytes / unit + (bytes % unit != 0 ? 1 : 0);
  return units * unit;
}

}  // namespace platform
