#pragma once
// The engine's one file copy.
#include <string>
#include <vector>

#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// Copies `source` to `destination` on `disk` byte for byte (platform::Disk::CopyFile: through a new
// file beside the destination that replaces it only when complete and on the disk). 0 on success;
// -1 after any failure, reported with a "Warning" message (CopyFailureText), with the destination
// unchanged. The install and removal steps copy with the disk themselves and tell the same texts
// as messages of their outcome (scenery_files.h).
int CopyPatchFile(PatchView& view, platform::Disk& disk, const std::string& source,
                  const std::string& destination);

// The same on the host's disk, unlabelled.
int CopyPatchFile(PatchView& view, std::string source, std::string destination);

// The "Warning" text for a copy on `disk` that did not happen; "" for a done copy and for a source
// that differs, which the caller tells of in its own words.
std::string CopyFailureText(platform::Disk& disk, const platform::CopyResult& result,
                            const std::string& source, const std::string& destination);

// The same for a copy that a batch could not finish.
std::string UnfinishedCopyText(platform::Disk& disk, const platform::FailedReplacement& failure);
