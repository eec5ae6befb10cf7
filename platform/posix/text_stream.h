#pragma once
// C streams built on an open descriptor: text mode with the Windows C runtime's line-end rules,
// and a binary stream that writes over an existing file.
#include <cstdio>

namespace platform::posix {

// A FILE* over `fd` (which it owns from then on): reading turns CR LF into "\n", keeps a lone CR
// and stops at a 0x1A byte; writing turns each "\n" into CR LF. The stream cannot seek.
// nullptr on failure (fd closed).
FILE* OpenTextStream(int fd, bool forWriting);

// A binary FILE* over `fd` (which it owns) that writes from the start of the file without emptying
// it first; closing the stream cuts the file to the bytes written. nullptr on failure (fd closed).
FILE* OpenOverwritingStream(int fd);

}  // namespace platform::posix
