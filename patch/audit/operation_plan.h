#pragma once
// An install or removal run as a plan: the real sequence on file services that only record.
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/lists/list_lint.h"

struct OperationPlan {
  std::vector<std::string> actions;   // in order, e.g. "rename A to B"
  std::vector<std::string> problems;  // messages the run would show ("CAPTION: text" lines),
                                      // refused changes and a lack of free space
  std::vector<ListRemark> listRemarks;
};

// Runs InstallPatch (`install`) or RemovePatch on a copy of `context`, reading the disk but
// changing nothing on it, with every message recorded rather than shown; then compares the size of
// the copies with the free space of the FS2004 and patch folders, and checks the list files.
OperationPlan PlanOperation(const PatchContext& context, bool install);
