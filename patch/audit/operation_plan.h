#pragma once
// An install or removal run as a plan: the real sequence on file services that only record.
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/context/run_obstacles.h"
#include "patch/engine/operation_outcome.h"
#include "patch/lists/list_lint.h"
#include "platform/file_layers/disk_interface.h"

struct OperationPlan {
  std::vector<std::string> actions;   // in order, e.g. "rename A to B"
  std::vector<std::string> problems;  // messages the run would show ("CAPTION: text" lines),
                                      // refused changes, and the obstacles below
  std::vector<std::string> obstacles;  // causes that refuse the run before it starts
                                       // (patch/context/run_obstacles.h)
  std::vector<std::string> skipped;   // records the run would skip without a message, and why
  std::vector<ListRemark> listRemarks;
  OperationOutcome outcome;  // the run's outcome as foreseen
};

// Runs InstallPatch (`install`) or RemovePatch on a copy of `context`, reading `disk` (the install
// record included) but changing nothing on it, with every message recorded rather than shown; then
// looks for the causes that would refuse the run (FindRunObstacles on what the plan writes and
// touches), and checks the list files. Problems are foreseen exactly where the run's outcome would
// hold a failure, and for each obstacle.
OperationPlan PlanOperation(const PatchContext& context, bool install,
                            platform::Disk& disk = platform::HostDisk());

// What the install (`install`) or removal could write and touch, from the list files and the sizes
// of the files they name alone: every copy the lists name counted as made, but a backup that is
// there already, which an install keeps. Reads no
// file's content, so that the check before a run costs next to nothing beside the run.
RunFootprint ListedFootprint(const PatchContext& context, bool install, const PatchLists& lists,
                             platform::Disk& disk);
