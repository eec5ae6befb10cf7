#pragma once
// Applying the patch to the FS2004 folder tree, one list file per step.
#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// CreateFolders, RegisterExcludeArea, RenameForward, BackupFiles, InstallFiles, each to its end.
void InstallPatch(PatchContext& context, PatchView& view);

void CreateFolders(PatchContext& context, PatchView& view);  // CREATE.OV
void RenameForward(PatchContext& context, PatchView& view);  // REN.OV, first name to second
void BackupFiles(PatchContext& context, PatchView& view);    // BAK.OV
void InstallFiles(PatchContext& context, PatchView& view);   // INST.OV
