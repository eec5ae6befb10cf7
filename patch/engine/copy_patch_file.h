#pragma once
// The engine's one file copy.
#include <string>
#include <vector>

#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// Copies `source` to `destination` on `disk` byte for byte (platform::Disk::CopyFile: through a new
// file beside the destination that replaces it only when complete and on the disk); `label` is the
// status text shown before it. With `expected`, nothing is replaced unless the source holds those
// bytes. 0 on success; -1 after any failure, reported with a "Warning" message (SourceDiffers
// excepted: the caller tells of it), with the destination unchanged. Between the disk's
// StartCopies and FinishCopies a success means queued: report what FinishCopies could not finish
// with ReportUnfinishedCopies. `result`, when given, receives what the disk answered; `newTarget`
// is how a destination that does not exist yet is written (platform::NewTarget).
int CopyPatchFile(PatchView& view, platform::Disk& disk, const std::string& source,
                  const std::string& destination, const std::string& label = "",
                  const platform::ContentStamp* expected = nullptr,
                  platform::CopyResult* result = nullptr,
                  platform::NewTarget newTarget = platform::NewTarget::kBesideThenMoved);

// The same on the host's disk, unlabelled.
int CopyPatchFile(PatchView& view, std::string source, std::string destination);

// Shows, for each copy a batch could not finish, the "Warning" CopyPatchFile shows for that
// failure.
void ReportUnfinishedCopies(PatchView& view,
                            const std::vector<platform::FailedReplacement>& failures);
