#include "patch/audit/operation_plan.h"

#include "patch/audit/operation_record.h"
#include "patch/engine/install_sequence.h"
#include "patch/context/settings.h"
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

RunFootprint ListedFootprint(const PatchContext& context, bool install, const PatchLists& lists,
                             platform::Disk& disk) {
  RunFootprint footprint;
  // A copy of `source` over or to `destination`, when the source is there to be copied.
  const auto copy = [&](const std::string& source, const std::string& destination) {
    const std::optional<uint64_t> size = disk.FileSize(source);
    if (!size) return;
    footprint.writes.push_back({destination, *size});
    footprint.files.push_back(source);
    if (disk.PathExists(destination)) footprint.files.push_back(destination);
  };
  const auto formOf = [&](const ListName& name) {
    return CurrentSceneryForm(disk, name.folder, name.value);
  };
  for (const ListRecord& record : lists.rename)
    for (const ListName& name : record.names)
      if (name.inside && !name.path.empty() && disk.PathExists(name.path))
        footprint.files.push_back(name.path);
  for (const ListRecord& record : lists.backup) {
    if (!record.names[0].inside || !record.names[1].inside) continue;
    const auto form = formOf(record.names[0]);
    if (!form) continue;
    const std::string fsFile = ScenerySubPath(record.names[0], *form);
    const std::string backup = ScenerySubPath(record.names[1], "BGL");
    // An install keeps a backup that is there already.
    if (install && !disk.PathExists(backup))
      copy(fsFile, backup);
    else if (!install)
      copy(backup, fsFile);
  }
  if (install) {
    for (const ListRecord& record : lists.install) {
      if (!record.names[0].inside || !record.names[1].inside || !record.names[2].inside) continue;
      const auto form = formOf(record.names[0]);
      if (form)
        copy(ScenerySubPath(record.names[1], "BGL"), ScenerySubPath(record.names[2], *form));
    }
    // SCENERY.CFG rewritten with its area, after its dated copy.
    const std::string config = SceneryConfigPath(context);
    if (const std::optional<uint64_t> size = disk.FileSize(config)) {
      footprint.writes.push_back({config + ".copy", *size});
      footprint.writes.push_back({config, *size + 1024});
      footprint.files.push_back(config);
    }
  } else {
    for (const ListRecord& record : lists.remove)
      for (const char* extension : {"BGL", "XXX"})
        if (const std::string path = ScenerySubPath(record.names[0], extension);
            record.names[0].inside && disk.PathExists(path))
          footprint.files.push_back(path);
  }
  return footprint;
}

OperationPlan PlanOperation(const PatchContext& context, bool install, platform::Disk& disk) {
  OperationPlan plan;
  // One operation on the disk: folders read once are trusted for its length.
  const platform::FileOperationScope operation;
  PatchContext planned = context;  // the run's status texts stay out of the dialog
  std::vector<platform::DiskChange> changes;
  const PatchLists lists = ReadPatchLists(context, disk);
  {
    platform::PlannedDisk plannedDisk(disk);
    OperationRecorder recorder(
        plannedDisk, platform::ChangeTense::Planned, plan.outcome,
        [&](const RecordLine& line) {
          (line.failure ? plan.problems : plan.actions).push_back(line.text);
          if (line.change) changes.push_back(*line.change);
        },
        [&](const RecordOutcome& entry) {
          if (entry.result == RecordResult::Skipped && !entry.told)
            plan.skipped.push_back(DescribeRecordOutcome(entry, true));
        });
    // The messages are recorded from the outcome; none is shown.
    WindowlessView noWindow;
    if (install)
      InstallPatch(planned, noWindow, plan.outcome, recorder.Disk(), lists);
    else
      RemovePatch(planned, noWindow, plan.outcome, recorder.Disk(), lists);
  }
  plan.obstacles = FindRunObstacles(context, install, lists, FootprintOf(disk, changes), disk);
  for (const std::string& obstacle : plan.obstacles)
    plan.problems.push_back(MessageLines("Warning", obstacle));
  plan.listRemarks = LintListFiles(disk);
  return plan;
}
