#pragma once
// Applying the patch to the FS2004 folder tree, one list file per step.
#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"

// CreateFolders, RegisterExcludeArea, RenameForward, BackupFiles, InstallFiles, each to its end,
// on the list files read once at the start. Every record's result is entered in `outcome` and
// every message shown is counted there.
void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome);
// The same with an outcome of its own, which it returns.
OperationOutcome InstallPatch(PatchContext& context, PatchView& view);

// The steps, on lists read for the operation; `view` counts its messages in `outcome`.
void CreateFolders(PatchContext& context, PatchView& view, const PatchLists& lists,
                   OperationOutcome& outcome);  // CREATE.OV
void RenameForward(PatchContext& context, PatchView& view, const PatchLists& lists,
                   OperationOutcome& outcome);  // REN.OV, first name to second
void BackupFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                 OperationOutcome& outcome);  // BAK.OV
void InstallFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                  OperationOutcome& outcome);  // INST.OV

// Each step on its own, with the lists read now.
void CreateFolders(PatchContext& context, PatchView& view);
void RenameForward(PatchContext& context, PatchView& view);
void BackupFiles(PatchContext& context, PatchView& view);
void InstallFiles(PatchContext& context, PatchView& view);
