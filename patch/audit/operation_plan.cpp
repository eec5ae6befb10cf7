#include "patch/audit/operation_plan.h"

#include <map>

#include "patch/audit/operation_record.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "platform/files.h"
#include "platform/file_layers/planned_disk.h"
#include "platform/text.h"

namespace {

bool Inside(const std::string& path, const std::string& folder) {
  if (folder.empty()) return false;
  return platform::UpperCase(path).rfind(platform::UpperCase(folder) + "\\", 0) == 0;
}

// One problem per folder whose disk has less free space than the copies into it need.
void CheckFreeSpace(const PatchContext& context, const std::vector<platform::DiskChange>& copies,
                    std::vector<std::string>& problems) {
  std::map<std::string, uint64_t> needed;
  for (const platform::DiskChange& copy : copies) {
    for (const std::string& folder : {context.m_strFsPath, context.m_strAppDir})
      if (Inside(copy.path, folder)) needed[folder] += copy.bytes;
  }
  for (const auto& [folder, bytes] : needed) {
    const std::optional<uint64_t> free = platform::FreeDiskSpace(folder);
    if (!free || *free >= bytes) continue;
    problems.push_back("Warning: Not enough free disk space in " + folder + ": the copies need " +
                       std::to_string(bytes) + " bytes, " + std::to_string(*free) +
                       " bytes are free.");
  }
}

}  // namespace

OperationPlan PlanOperation(const PatchContext& context, bool install, platform::Disk& disk) {
  OperationPlan plan;
  // One operation on the disk: folders read once are trusted for its length.
  const platform::FileOperationScope operation;
  PatchContext planned = context;  // the run's status texts stay out of the dialog
  std::vector<platform::DiskChange> copies;
  {
    platform::PlannedDisk plannedDisk(disk);
    OperationRecorder recorder(
        nullptr, plannedDisk, platform::ChangeTense::Planned, [&](const RecordLine& line) {
          (line.failure ? plan.problems : plan.actions).push_back(line.text);
          if (line.change && line.change->kind == platform::DiskChange::Kind::Copy)
            copies.push_back(*line.change);
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
  CheckFreeSpace(context, copies, plan.problems);
  plan.listRemarks = LintListFiles(disk);
  return plan;
}
