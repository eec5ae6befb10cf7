#pragma once
// An install or removal run as a plan: the real sequence on file services that only record.
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/lists/list_lint.h"
#include "platform/file_layers/disk_interface.h"

struct OperationPlan {
  std::vector<std::string> actions;   // in order, e.g. "rename A to B"
  std::vector<std::string> problems;  // messages the run would show ("CAPTION: text" lines),
                                      // refused changes and a lack of free space
  std::vector<std::string> skipped;   // records the run would skip without a message, and why
  std::vector<ListRemark> listRemarks;
  OperationOutcome outcome;  // the run's outcome as foreseen
};

// Runs InstallPatch (`install`) or RemovePatch on a copy of `context`, reading `disk` (the install
// record included) but changing nothing on it, with every message recorded rather than shown; then
// compares the size of the copies with the free space of the FS2004 and patch folders, and checks
// the list files. Problems are foreseen exactly where the run's outcome would hold a failure, and
// for too little free space.
OperationPlan PlanOperation(const PatchContext& context, bool install,
                            platform::Disk& disk = platform::HostDisk());
