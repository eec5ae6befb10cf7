#pragma once
// Whole-file replacements made in bulk: putting each new file on the disk on its own costs one
// flush per file, which is most of the time of a long run of copies; a batch flushes them together.
#include <memory>
#include <string>
#include <vector>

#include "platform/file_layers/whole_file.h"

namespace platform {

// A replacement that a batch could not complete; its target is left as it was.
struct FailedReplacement {
  std::string target;
  WriteOutcome outcome;  // WriteFailed: the new file could not be put on the disk;
                         // ReplaceFailed: it could not take the target's place
};

// While a batch lives, a ReplacementFile is written and its size checked at once, but flushed to
// the disk and moved in place of its target only when the batch settles, together with the others,
// with one flush per file system where the host can flush a whole one (otherwise one per file). Every other call of platform/files.h settles the batch first
// when it could see the difference: when it names a file the batch is to replace (or a new file of
// the batch), lists a folder, or creates, deletes or moves anything. So the operation sees the
// files as if each replacement had been made at once, and a new file is on the disk before it
// replaces anything. The batch collects only on hosts that can flush many files at once, and only
// when the active file services change the disk; otherwise it does nothing.
class WriteBatch {
public:
  WriteBatch();
  // Settles; call Settle first to learn about failures.
  ~WriteBatch();
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  // Puts every collected file on the disk and in place of its target, in the order they were
  // made. Returns the replacements that failed since the last call, also those settled early.
  std::vector<FailedReplacement> Settle();

  // True while a batch collects replacements: ReplacementFile then leaves the flush to it.
  static bool Collecting();

private:
  class Services;
  std::unique_ptr<Services> services_;
};

}  // namespace platform
