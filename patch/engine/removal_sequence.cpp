#include "patch/engine/removal_sequence.h"

#include <algorithm>
#include <optional>

#include "patch/engine/scenery_files.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/file_layers/whole_file.h"

void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome) {
  OutcomeView counted(outcome, view);
  const PatchLists lists = ReadPatchLists(context);
  // Each step runs whatever the one before did; nothing is undone.
  RestoreFiles(context, counted, lists, outcome);
  RemoveFiles(context, counted, lists, outcome);
  RenameBack(context, counted, lists, outcome);
}

OperationOutcome RemovePatch(PatchContext& context, PatchView& view) {
  OperationOutcome outcome;
  RemovePatch(context, view, outcome);
  return outcome;
}

void RestoreFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                  OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "RestoreFiles"};
  const PairedFiles replacements = ListedReplacements(lists);
  std::vector<std::string> changedSinceInstall;
  // The backup goes back into the form the FS2004 file has now.
  CopyListedSceneryFiles(
      run, lists.backup, "Restoring file %d",
      [&](const ListRecord& record, const std::string& form) -> CopyDecision {
        if (!run.NamesStayInside(record, {1})) return CopyDecision::AlreadyEntered();
        const std::string source = ScenerySubPath(record.names[1], "BGL");
        const std::string destination = ScenerySubPath(record.names[0], form);
        // One read of the file tells whether it holds its backup or one of its replacements.
        const std::vector<std::string>& listed = replacements.Find(record.names[0].path);
        const std::optional<size_t> holds =
            platform::FirstWithSameBytes(destination, ContentCheckCandidates(source, listed));
        if (holds == 0u) return CopyDecision::Without(RecordResult::NothingToDo, destination);
        // Only a replacement that was installed is taken out again; a file changed since then
        // (an update of the product) is kept. Without a backup it was never replaced at all.
        if (holds) return CopyDecision::Copy(source, destination);
        const bool anyReplacement = std::any_of(listed.begin(), listed.end(), [](const auto& file) {
          return platform::FileSize(file).has_value();
        });
        if (!anyReplacement) return CopyDecision::Copy(source, destination);
        if (!platform::PathExists(source))
          return CopyDecision::Without(RecordResult::NothingToDo, destination);
        changedSinceInstall.push_back(destination);
        return CopyDecision::Without(RecordResult::Skipped, destination,
                                     "changed since the patch was installed", true);
      });
  WarnAboutFiles(run,
                 "These files have changed since the patch was installed:", changedSinceInstall,
                 "They have been left as they are; their backups stay in the patch folder.");
}

void RemoveFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                 OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "RemoveFiles"};
  std::vector<std::string> notDeleted;
  for (const ListRecord& record : lists.remove) {
    if (!run.NamesStayInside(record, {0})) continue;
    RecordResult result = RecordResult::NothingToDo;
    std::string subject = record.names[0].path;
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(record.names[0], extension);
      if (!platform::PathExists(path)) continue;
      if (platform::RemoveFile(path)) {
        if (result == RecordResult::NothingToDo) result = RecordResult::Done;
      } else {
        result = RecordResult::Failed;
        subject = path;
        notDeleted.push_back(path);
      }
    }
    const bool failed = result == RecordResult::Failed;
    run.Enter(record, result, subject, failed ? "could not be deleted" : "", failed);
  }
  WarnAboutFiles(run, "These files could not be deleted:", notDeleted, kLeftAsTheyWereText);
}

void RenameBack(PatchContext& context, PatchView& view, const PatchLists& lists,
                OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "RenameBack"};
  RenameListedFiles(run, RenameDirection::Back);
}

void RestoreFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, RestoreFiles);
}
void RemoveFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, RemoveFiles);
}
void RenameBack(PatchContext& context, PatchView& view) { RunStepAlone(context, view, RenameBack); }
