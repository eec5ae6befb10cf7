#pragma once
// Dated copies of SCENERY.CFG, taken before the program changes it.
#include <string>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// How many dated copies are kept.
inline constexpr int kSceneryBackupsKept = 3;

// Copies SCENERY.CFG of m_strFsPath beside it as "SCENERY.yyyymmdd-hhmmss.CFG" (local time), then
// deletes all but the newest kSceneryBackupsKept such copies. Nothing happens when SCENERY.CFG is
// not a file; a failed copy is reported as every copy is, and no old copy is deleted then. Returns
// the copy's path, or "" when none was made.
std::string BackupSceneryConfig(const PatchContext& context, PatchView& view);

// True for a name of such a copy, in any letter case.
bool IsSceneryBackupName(const std::string& name);
