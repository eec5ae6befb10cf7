#pragma once
// Text-mode C streams with the Windows C runtime's line-end rules, built on an open descriptor.
#include <cstddef>
#include <cstdio>

#include "platform/posix/handles.h"

namespace platform::posix {

// A FILE* over `fd`, which the stream closes: reading turns CR LF into "\n", keeps a lone CR and
// stops at a 0x1A byte; writing turns each "\n" into CR LF. The stream cannot seek.
// nullptr on failure (fd closed).
FILE* OpenTextStream(UniqueDescriptor fd, bool forWriting);

// Writes all `size` bytes to `fd`, retrying short and interrupted writes. False on any other
// failure (what was written stays written).
bool WriteAll(int fd, const char* data, size_t size);

}  // namespace platform::posix
