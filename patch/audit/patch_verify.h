#pragma once
// What is on disk against the patch, for the state the settings file records.
#include <string>
#include <vector>

#include "patch/context/patch_context.h"

struct PatchVerification {
  int checks = 0;
  std::vector<std::string> failures;  // one line per check that fails
};

// Installed: each INST.OV file equal byte for byte to its replacement (the last record over a
// file), each BAK.OV backup present, each REN.OV rename in place, the exclusion area registered
// exactly once (when CREATE.OV exists). Removed: each BAK.OV file equal to its backup (where one
// was taken), each REN.OV file back under its first name, each REM.OV file gone. Records the
// install or removal skips or finds nothing to do for (a name outside its folder, a file in
// neither form, a rename whose names both are missing) are not checked. Reads the list files of
// the current folder and changes nothing on disk; with CREATE.OV it reloads the scenery area table
// (LoadSceneryAreas) from SCENERY.CFG.
PatchVerification VerifyPatch(PatchContext& context, bool installed);
