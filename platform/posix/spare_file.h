#pragma once
// Within an operation, the file that a replacement displaces is kept aside (one at a time) and its
// inode is reused for the next new file opened for writing, instead of being freed and another
// allocated. Writing over allocated blocks is much cheaper than freeing and allocating them, and on
// ext4 without a journal every freed inode makes each later creation slower for minutes.
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace platform::posix {

// True when a displaced file with status `displaced` (from lstat) may be kept: an operation is
// open, no spare is held, and it is a regular file of ours with a single name.
bool WantsSpare(const struct stat& displaced);

// Moves the displaced file `host` (an absolute path; `displaced` its status, for which WantsSpare
// held) aside as the spare. False when it could not (the caller removes it then).
bool KeepAsSpare(const std::string& host, const struct stat& displaced);

// Puts the spare under `host`, which must not exist, and opens it for writing from its start: the
// stream's close cuts the file to the bytes written. nullptr when there is no spare or it cannot be
// moved there (errno EEXIST when `host` exists).
FILE* OpenSpareAs(const std::string& host);

// Removes the spare, if any (at the end of an operation).
void DropSpare();

}  // namespace platform::posix
