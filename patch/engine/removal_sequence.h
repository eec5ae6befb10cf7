#pragma once
// Taking the patch out of the FS2004 folder tree again.
#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// RestoreFiles, RemoveFiles, RenameBack, each to its end.
void RemovePatch(PatchContext& context, PatchView& view);

void RestoreFiles(PatchContext& context, PatchView& view);  // BAK.OV
void RemoveFiles(PatchContext& context, PatchView& view);   // REM.OV
void RenameBack(PatchContext& context, PatchView& view);    // REN.OV, second name back to first
