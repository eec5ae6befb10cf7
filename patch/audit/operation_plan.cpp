#include "patch/audit/operation_plan.h"

#include "patch/audit/operation_record.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "platform/files.h"
#include "platform/file_layers/planned_disk.h"
#include "platform/text.h"

namespace {

// What the planned changes write and touch. A file rewritten whole (SCENERY.CFG with its area
// appended) is counted at its present size and a little more.
RunFootprint FootprintOf(platform::Disk& disk, const std::vector<platform::DiskChange>& changes) {
  using Kind = platform::DiskChange::Kind;
  constexpr uint64_t kGrowthOfRewrite = 1024;
  RunFootprint footprint;
  for (const platform::DiskChange& change : changes) {
    if (change.failed) continue;
    if (change.kind == Kind::Copy) footprint.writes.push_back({change.path, change.bytes});
    if (change.kind == Kind::Replace || change.kind == Kind::Append)
      footprint.writes.push_back(
          {change.path, disk.FileSize(change.path).value_or(0) + kGrowthOfRewrite});
    if (change.kind == Kind::Copy || change.kind == Kind::Rename)
      footprint.files.push_back(change.source);
    if (change.kind != Kind::CreateFolder && change.kind != Kind::Rename)
      footprint.files.push_back(change.path);
  }
  return footprint;
}

}  // namespace

OperationPlan PlanOperation(const PatchContext& context, bool install, platform::Disk& disk) {
  OperationPlan plan;
  // One operation on the disk: folders read once are trusted for its length.
  const platform::FileOperationScope operation;
  PatchContext planned = context;  // the run's status texts stay out of the dialog
  std::vector<platform::DiskChange> changes;
  {
    platform::PlannedDisk plannedDisk(disk);
    OperationRecorder recorder(
        nullptr, plannedDisk, platform::ChangeTense::Planned, [&](const RecordLine& line) {
          (line.failure ? plan.problems : plan.actions).push_back(line.text);
          if (line.change) changes.push_back(*line.change);
        });
    plan.outcome.OnEnter([&](const RecordOutcome& entry) {
      if (entry.result == RecordResult::Skipped && !entry.told)
        plan.skipped.push_back(DescribeRecordOutcome(entry, true));
    });
    if (install)
      InstallPatch(planned, recorder.View(), plan.outcome, recorder.Disk());
    else
      RemovePatch(planned, recorder.View(), plan.outcome, recorder.Disk());
    plan.outcome.OnEnter(nullptr);
  }
  plan.obstacles = FindRunObstacles(context, install, FootprintOf(disk, changes),
                                    disk.ChangesHostFiles());
  for (const std::string& obstacle : plan.obstacles)
    plan.problems.push_back(MessageLines("Warning", obstacle));
  plan.listRemarks = LintListFiles(disk);
  return plan;
}
