#pragma once
// What is on disk against the patch, for the state the settings file records.
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "platform/file_layers/disk_interface.h"

struct PatchVerification {
  int checks = 0;
  bool hadRecord = false;  // the patch folder holds an install record, and the checks follow it
  std::vector<std::string> failures;  // one line per check that fails
};

// With an install record (install_record.h), against it: installed, each file it says was written
// holds what was written and each backup it keeps its original; removed, each file it keeps a
// backup of holds its original again (a file that could not be restored fails). Without one,
// against the patch folder's files: installed, each INST.OV file equal byte for byte to its
// replacement (the last record over a file) and each BAK.OV backup present; removed, each BAK.OV
// file equal to its backup (where one was taken). Either way, each REN.OV rename in place (or
// back), the exclusion area registered exactly once when installed (when CREATE.OV exists), each
// REM.OV file gone when removed. Records the install or removal skips or finds nothing to do for
// (a name outside its folder, a file in neither form, a rename whose names both are missing) are
// not checked. Reads through `disk` and changes nothing; with CREATE.OV it reloads the scenery
// area table (LoadSceneryAreas) from SCENERY.CFG.
PatchVerification VerifyPatch(PatchContext& context, platform::Disk& disk, bool installed);
