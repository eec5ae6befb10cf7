#pragma once
// The engine's one file copy.
#include <string>
#include <vector>

#include "patch/patch_view.h"
#include "platform/file_layers/write_batch.h"

// Copies `source` to `destination` byte for byte in 1000-byte chunks, through a new file beside the
// destination that replaces it only when complete and flushed to the disk. 0 on success; -1 after
// any failure (reported with a "Warning" message), with the destination unchanged. Within a
// platform::WriteBatch, the flush and the replacement wait for the batch: report what it could not
// finish with ReportUnfinishedCopies.
int CopyPatchFile(PatchView& view, std::string source, std::string destination);

// Shows, for each copy a batch could not finish, the "Warning" CopyPatchFile shows for that
// failure.
void ReportUnfinishedCopies(PatchView& view,
                            const std::vector<platform::FailedReplacement>& failures);
