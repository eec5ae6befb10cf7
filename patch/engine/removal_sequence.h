#pragma once
// Taking the patch out of the FS2004 folder tree again.
#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"

// RestoreFiles, RemoveFiles, RenameBack, each to its end, on the list files read once at the
// start. Every record's result is entered in `outcome` and every message shown is counted there.
void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome);
// The same with an outcome of its own, which it returns.
OperationOutcome RemovePatch(PatchContext& context, PatchView& view);

// The steps, on lists read for the operation; `view` counts its messages in `outcome`.
void RestoreFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                  OperationOutcome& outcome);  // BAK.OV
void RemoveFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                 OperationOutcome& outcome);  // REM.OV
void RenameBack(PatchContext& context, PatchView& view, const PatchLists& lists,
                OperationOutcome& outcome);  // REN.OV, second name back to first

// Each step on its own, with the lists read now.
void RestoreFiles(PatchContext& context, PatchView& view);
void RemoveFiles(PatchContext& context, PatchView& view);
void RenameBack(PatchContext& context, PatchView& view);
