#pragma once
// Taking the patch out of the FS2004 folder tree again.
#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/engine/scenery_files.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// RestoreFiles, RemoveFiles, RenameBack, each to its end, on `disk`, with the list files and the
// install record read once at the start. Every record's result is entered in `outcome` and every
// message shown is counted there; the install record is written after each step that changed it,
// and says removed at the end.
void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                 platform::Disk& disk = platform::HostDisk());
// The same with the list files the caller has read already, within the same file operation.
void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                 platform::Disk& disk, PatchLists lists);
// The same on the host's disk with an outcome of its own, which it returns.
OperationOutcome RemovePatch(PatchContext& context, PatchView& view);

// The steps, within one operation.
// BAK.OV. With a record of the file: it is restored when it holds what the record says was
// written, or one of its replacements (written by an install cut short before it could record
// it); a file that holds anything else has changed since the install and is left as it is. Each
// installed file is read once, and once more only when it does not hold what was written; each
// backup once, while it is copied, and refused with a "Warning" when it no longer holds the
// recorded original. Without a record, a file is restored unless it has changed since: it holds
// neither its backup nor a replacement.
void RestoreFiles(OperationRun& run);
void RemoveFiles(OperationRun& run);  // REM.OV
void RenameBack(OperationRun& run);   // REN.OV, second name back to first

// Each step on its own, on the host's disk, with the lists and the record read now.
void RestoreFiles(PatchContext& context, PatchView& view);
void RemoveFiles(PatchContext& context, PatchView& view);
void RenameBack(PatchContext& context, PatchView& view);
