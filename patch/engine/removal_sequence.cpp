#include "patch/engine/removal_sequence.h"

#include <algorithm>
#include <optional>

#include "platform/file_layers/content_hash.h"
#include "platform/strings.h"

void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                 platform::Disk& disk) {
  RemovePatch(context, view, outcome, disk, ReadPatchLists(context, disk));
}

void RemovePatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                 platform::Disk& disk, PatchLists lists) {
  OperationRun run(context, view, disk, std::move(lists), outcome);
  // Each step runs whatever the one before did; nothing is undone.
  RestoreFiles(run);
  run.SaveRecord();
  RemoveFiles(run);
  run.SaveRecord();
  RenameBack(run);
  if (run.record.Exists() || run.record.Installed()) run.record.SetInstalled(false);
  run.SaveRecord();
}

OperationOutcome RemovePatch(PatchContext& context, PatchView& view) {
  OperationOutcome outcome;
  RemovePatch(context, view, outcome);
  return outcome;
}

void RestoreFiles(OperationRun& operation) {
  StepRun run{operation, "RestoreFiles"};
  platform::Disk& disk = operation.disk;
  InstallRecord& installRecord = operation.record;
  const PairedFiles replacements = ListedReplacements(operation.lists);
  std::vector<std::string> changedSinceInstall;
  std::vector<std::string> damagedBackups;
  // The backup goes back into the form the FS2004 file has now.
  CopyListedSceneryFiles(
      run, operation.lists.backup, "Restoring file %d",
      [&](const ListRecord& record, const std::string& form) -> CopyDecision {
        if (!run.NamesStayInside(record, {1})) return CopyDecision::AlreadyEntered();
        const std::string& fsName = record.names[0].value;
        const std::string source = ScenerySubPath(record.names[1], "BGL");
        const std::string destination = ScenerySubPath(record.names[0], form);
        const std::vector<std::string>& listed = replacements.Find(record.names[0].path);
        const auto changed = [&] {
          changedSinceInstall.push_back(destination);
          return CopyDecision::Without(RecordResult::Skipped, destination,
                                       "changed since the patch was installed", true);
        };

        const RecordedBackup* recorded = installRecord.Backup(fsName);
        if (recorded && SameFileName(recorded->backupName, record.names[1].value)) {
          const std::optional<platform::ContentStamp> now =
              platform::StampOfFile(disk, destination);
          if (now && *now == recorded->original)
            return CopyDecision::Without(RecordResult::NothingToDo, destination);
          // What the patch wrote goes, whatever the patch folder's replacement holds now; so does
          // a copy that an install cut short made before it could record it.
          const bool patchWrote =
              installRecord.PatchWrote(fsName, now) ||
              (now && platform::FirstWithSameBytes(disk, destination, listed).has_value());
          if (!patchWrote) return changed();
          CopyDecision restore = CopyDecision::Copy(source, destination);
          restore.expected = recorded->original;
          restore.onDone = [&installRecord, fsName](const platform::ContentStamp&) {
            installRecord.ForgetWritten(fsName);
          };
          restore.onSourceDiffers = [&damagedBackups, source] { damagedBackups.push_back(source); };
          return restore;
        }

        // A record that knows nothing of the file: no install of it has written there, since each
        // install records what it is about to write before it writes (a backup not in it is one a
        // run cut short).
        if (installRecord.Exists() && !recorded && !installRecord.Written(fsName) &&
            !installRecord.Pending(fsName))
          return CopyDecision::Without(RecordResult::NothingToDo, destination);
        // Without a record: one read of the file tells whether it holds its backup or one of its
        // replacements.
        const std::optional<size_t> holds =
            platform::FirstWithSameBytes(disk, destination, ContentCheckCandidates(source, listed));
        if (holds == 0u) return CopyDecision::Without(RecordResult::NothingToDo, destination);
        // Only a replacement that was installed is taken out again; a file changed since then
        // (an update of the product) is kept. Without a backup it was never replaced at all.
        if (holds) return CopyDecision::Copy(source, destination);
        const bool anyReplacement = std::any_of(listed.begin(), listed.end(), [&](const auto& file) {
          return disk.FileSize(file).has_value();
        });
        if (!anyReplacement) return CopyDecision::Copy(source, destination);
        if (!disk.PathExists(source))
          return CopyDecision::Without(RecordResult::NothingToDo, destination);
        return changed();
      });
  WarnAboutFiles(run,
                 "These files have changed since the patch was installed:", changedSinceInstall,
                 "They have been left as they are; their backups stay in the patch folder.");
  WarnAboutFiles(run,
                 "These backups no longer hold the originals they were taken of (they have been "
                 "changed or damaged since):",
                 damagedBackups,
                 "The originals cannot be brought back from them, so the patched files have been "
                 "left in place. Reinstall the product to get its original files back.");
}

void RemoveFiles(OperationRun& operation) {
  StepRun run{operation, "RemoveFiles"};
  platform::Disk& disk = operation.disk;
  std::vector<std::string> notDeleted;
  for (const ListRecord& record : operation.lists.remove) {
    if (!run.NamesStayInside(record, {0})) continue;
    RecordResult result = RecordResult::NothingToDo;
    std::string subject = record.names[0].path;
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(record.names[0], extension);
      if (!disk.PathExists(path)) continue;
      if (disk.RemoveFile(path)) {
        if (result == RecordResult::NothingToDo) result = RecordResult::Done;
      } else {
        result = RecordResult::Failed;
        subject = path;
        notDeleted.push_back(path);
      }
    }
    const bool failed = result == RecordResult::Failed;
    if (!failed) operation.record.ForgetWritten(record.names[0].value);
    run.Enter(record, result, subject, failed ? "could not be deleted" : "", failed);
  }
  WarnAboutFiles(run, "These files could not be deleted:", notDeleted, kLeftAsTheyWereText);
}

void RenameBack(OperationRun& operation) {
  StepRun run{operation, "RenameBack"};
  RenameListedFiles(run, RenameDirection::Back);
}

void RestoreFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, RestoreFiles);
}
void RemoveFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, RemoveFiles);
}
void RenameBack(PatchContext& context, PatchView& view) { RunStepAlone(context, view, RenameBack); }
