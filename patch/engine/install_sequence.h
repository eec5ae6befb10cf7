#pragma once
// Applying the patch to the FS2004 folder tree, one list file per step.
#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/engine/scenery_files.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// CreateFolders, RegisterExcludeArea, RenameForward, BackupFiles, InstallFiles, each to its end, on
// `disk`, with the list files and the install record read once at the start. Each list step enters
// every record's result in `outcome`, and every message shown is entered there with what it stands
// for (the exclusion area enters no record: its messages are failures of their own); the install
// record is written after each step that changed it, and says installed at the end.
void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                  platform::Disk& disk = platform::HostDisk());
// The same with the list files the caller has read already, within the same file operation.
void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                  platform::Disk& disk, PatchLists lists);
// The same on the host's disk with an outcome of its own, which it returns.
OperationOutcome InstallPatch(PatchContext& context, PatchView& view);

// The steps, within one operation.
void CreateFolders(OperationRun& run);  // CREATE.OV
void RenameForward(OperationRun& run);  // REN.OV, first name to second
// BAK.OV. A file the record says the patch wrote is the patch's own and gets no new backup; one
// that holds the recorded original keeps its backup (taken again when the backup is gone or no
// longer holds it); any other is the product's own and is backed up. Without a record entry, a
// backup that holds the file is kept, and a file that holds one of its replacements is never taken
// for the original.
void BackupFiles(OperationRun& run);
// INST.OV. A file BAK.OV names is overwritten only while it holds the recorded original or what
// the record says was written (without a record: its backup's bytes or a replacement's), so that
// the removal can always put it back. Each file written is recorded with its stamp; before the
// copies, what each copy over a backed-up file is about to write is recorded as pending (a copy an
// earlier run left pending and that is on the disk counts as written), and when that record cannot
// be written no file is installed.
void InstallFiles(OperationRun& run);

// Each step on its own, on the host's disk, with the lists and the record read now.
void CreateFolders(PatchContext& context, PatchView& view);
void RenameForward(PatchContext& context, PatchView& view);
void BackupFiles(PatchContext& context, PatchView& view);
void InstallFiles(PatchContext& context, PatchView& view);
