#include "patch/engine/install_sequence.h"

#include <map>

#include "patch/engine/scenery_library.h"
#include "platform/file_layers/content_hash.h"
#include "platform/strings.h"

namespace {

// The FS2004 file `fsName` holds `stamp`, as far as the record tells.
bool Holds(const std::optional<platform::ContentStamp>& stamp,
           const platform::ContentStamp* recorded) {
  return stamp && recorded && *stamp == *recorded;
}

// The backup the record holds for `record`'s FS2004 file under the backup name it lists; nullptr
// when the record has none there.
const RecordedBackup* RecordedBackupOf(StepRun& run, const ListRecord& record) {
  const RecordedBackup* backup = run.record().Backup(record.names[0].value);
  if (!backup || !SameFileName(backup->backupName, record.names[1].value)) return nullptr;
  return backup;
}

}  // namespace

void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                  platform::Disk& disk) {
  InstallPatch(context, view, outcome, disk, ReadPatchLists(context, disk));
}

void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome,
                  platform::Disk& disk, PatchLists lists) {
  OperationRun run(context, view, disk, std::move(lists), outcome);
  // Each step runs whatever the one before did; nothing is undone.
  CreateFolders(run);
  run.SaveRecord();
  int appendedArea = 0;
  RegisterExcludeArea(context, run.FailureMessages(), disk, &appendedArea);
  if (appendedArea > 0) run.record.SetExclusionArea(appendedArea);
  run.SaveRecord();
  RenameForward(run);
  run.SaveRecord();
  BackupFiles(run);
  run.SaveRecord();
  InstallFiles(run);
  run.record.SetInstalled(true);
  run.SaveRecord();
}

OperationOutcome InstallPatch(PatchContext& context, PatchView& view) {
  OperationOutcome outcome;
  InstallPatch(context, view, outcome);
  return outcome;
}

void CreateFolders(OperationRun& operation) {
  StepRun run{operation, "CreateFolders"};
  platform::Disk& disk = operation.disk;
  std::vector<std::string> notCreated;
  for (const ListRecord& record : operation.lists.create) {
    if (!run.NamesStayInside(record, {0})) continue;
    const std::string& path = record.names[0].path;
    if (disk.PathExists(path)) {
      run.Enter(record, RecordResult::NothingToDo, path);
    } else if (disk.CreateFolder(path)) {  // one level only
      operation.record.AddCreatedFolder(record.names[0].value);
      run.Enter(record, RecordResult::Done, path);
    } else {
      run.Enter(record, RecordResult::Failed, path, "could not be created", true);
      notCreated.push_back(path);
    }
  }
  WarnAboutFiles(run, "These folders could not be created:", notCreated,
                 "A folder is made only inside one that exists: check that CREATE.OV names each "
                 "parent folder first, and that the folder can be written.");
}

void RenameForward(OperationRun& operation) {
  StepRun run{operation, "RenameForward"};
  RenameListedFiles(run, RenameDirection::Forward);
}

void BackupFiles(OperationRun& operation) {
  StepRun run{operation, "BackupFiles"};
  platform::Disk& disk = operation.disk;
  InstallRecord& installRecord = operation.record;
  const PairedFiles replacements = ListedReplacements(operation.lists);
  std::vector<std::string> patchedWithoutBackup;
  const auto patchedAlready = [&](const std::string& source, const std::string& backup) {
    if (disk.PathExists(backup)) return CopyDecision::Without(RecordResult::NothingToDo, source);
    patchedWithoutBackup.push_back(source);
    return CopyDecision::Without(RecordResult::Skipped, source,
                                 "patched already, no backup of its original", true);
  };
  CopyListedSceneryFiles(
      run, operation.lists.backup, "Backing up file %d",
      [&](const ListRecord& record, const std::string& form) -> CopyDecision {
        if (!run.NamesStayInside(record, {1})) return CopyDecision::AlreadyEntered();
        // The backup comes from the form that install and restore write, so that a removal puts
        // back exactly the content that the install replaced.
        const std::string& fsName = record.names[0].value;
        const std::string& backupName = record.names[1].value;
        const std::string source = ScenerySubPath(record.names[0], form);
        const std::string destination = ScenerySubPath(record.names[1], "BGL");
        CopyDecision backUp = CopyDecision::Copy(source, destination);
        // A new backup is written in place: one that a crash left unfinished is in no record and
        // its file still holds the original, so no removal uses it and the next install takes it
        // again (through a file beside it, as every existing file).
        backUp.newTarget = platform::NewTarget::kWrittenInPlace;
        // The install that follows asks what the file holds: the copy has read it.
        backUp.onDone = [&operation, &installRecord, fsName, backupName, source,
                         version = operation.VersionOf(source)](const platform::ContentStamp& copied) {
          installRecord.SetBackup(fsName, backupName, copied);
          installRecord.ForgetWritten(fsName);
          operation.KnowStamp(source, version, copied);
        };

        const RecordedBackup* recorded = RecordedBackupOf(run, record);
        if (recorded || installRecord.Written(fsName) || installRecord.Pending(fsName)) {
          const std::optional<platform::ContentStamp> now = operation.StampOf(source);
          if (!now) return backUp;  // the copy tells why it cannot be read
          const auto patched = [&] {
            if (recorded && Holds(platform::StampOfFile(disk, destination), &recorded->original))
              return CopyDecision::Without(RecordResult::NothingToDo, source);
            return patchedAlready(source, "");
          };
          // What the patch wrote is never taken for the original.
          if (installRecord.PatchWrote(fsName, now)) return patched();
          if (recorded && *now == recorded->original) {
            // The original is in place: its backup is kept, or taken again when lost or damaged;
            // until that copy is done the record claims no backup, so the install leaves the
            // original alone when it fails.
            if (Holds(platform::StampOfFile(disk, destination), &recorded->original))
              return CopyDecision::Without(RecordResult::NothingToDo, source);
            installRecord.ForgetBackup(fsName);
            return backUp;
          }
          // Nor is a replacement installed by a run that was cut short before it could record it;
          // its backup must still hold the original.
          if (recorded &&
              platform::FirstWithSameBytes(disk, source, replacements.Find(record.names[0].path)))
            return patched();
          // Neither: the product has changed the file since (its updater); that is the original
          // now, and it is backed up again.
          if (recorded) return backUp;
        }
        // Without a record of the file, its content decides; one read answers both checks.
        const auto holds = platform::FirstWithSameBytes(
            disk, source,
            ContentCheckCandidates(destination, replacements.Find(record.names[0].path)));
        // A file that already is its replacement is never taken for the original.
        if (holds && *holds > 0) return patchedAlready(source, destination);
        // A backup that still holds the file is kept, and recorded; one that differs is stale (the
        // product has changed since) and is taken again.
        if (holds) {
          if (const auto stamp = platform::StampOfFile(disk, destination))
            installRecord.SetBackup(fsName, backupName, *stamp);
          return CopyDecision::Without(RecordResult::NothingToDo, source);
        }
        return backUp;
      });
  WarnAboutFiles(run,
                 "These files are patched already, but the patch folder holds no backup of their "
                 "originals:",
                 patchedWithoutBackup,
                 "Removing the patch cannot bring the originals back. Keep the patch folder that "
                 "installed the patch, with its backups.");
}

void InstallFiles(OperationRun& operation) {
  StepRun run{operation, "InstallFiles"};
  platform::Disk& disk = operation.disk;
  InstallRecord& installRecord = operation.record;
  const PairedFiles backups = ListedBackups(operation.lists);
  const PairedFiles replacements = ListedReplacements(operation.lists);
  std::vector<std::string> notInstalled;
  // A copy an earlier run was about to make and that is on the disk is the patch's: written.
  for (const auto& [key, stamp] : std::map(installRecord.PendingFiles())) {
    const std::string& fsName = installRecord.NameOf(key);
    const std::string file = ScenerySubPath(
        operation.context.m_strFsPath, fsName,
        CurrentSceneryForm(disk, operation.context.m_strFsPath, fsName).value_or("BGL"));
    if (Holds(platform::StampOfFile(disk, file), &stamp)) installRecord.SetWritten(fsName, stamp);
  }
  installRecord.ForgetPending();
  // What each copy over a file with a backup is about to write is on the disk before the copy: a
  // run cut short before it records the copy leaves the copy known as the patch's. (A file whose
  // backup is missing is not written over.)
  for (const ListRecord& record : operation.lists.install) {
    if (!record.names[1].inside || !record.names[2].inside) continue;
    const std::vector<std::string>& backup = backups.Find(record.names[2].path);
    if (backup.empty() || !disk.PathExists(backup.front())) continue;
    if (const auto stamp = platform::StampOfFile(disk, ScenerySubPath(record.names[1], "BGL")))
      installRecord.SetPending(record.names[2].value, *stamp);
  }
  if (!installRecord.Save(disk, operation.context)) {
    operation.Tell("The install record " + InstallRecord::PathIn(operation.context) +
                       " could not be written, so no file has been installed: without it a later "
                       "install or removal could not tell them from the product's own files.\n\n"
                       "Please check that the patch folder can be written.",
                   "Warning", MessageRole::FailureOfItsOwn);
    return;
  }
  // The FS2004 file named first decides the form the replacement is written in.
  CopyListedSceneryFiles(
      run, operation.lists.install, "Installing file %d",
      [&](const ListRecord& record, const std::string& form) -> CopyDecision {
        if (!run.NamesStayInside(record, {1}) || !run.NamesStayInside(record, {2}, form))
          return CopyDecision::AlreadyEntered();
        const std::string& destinationName = record.names[2].value;
        const std::string source = ScenerySubPath(record.names[1], "BGL");
        const std::string destination = ScenerySubPath(record.names[2], form);
        CopyDecision install = CopyDecision::Copy(source, destination);
        install.onDone = [&installRecord, destinationName](const platform::ContentStamp& copied) {
          installRecord.SetWritten(destinationName, copied);
        };
        // A missing replacement is tried, so that its copy says so.
        if (!disk.PathExists(source)) return install;
        const std::vector<std::string>& backup = backups.Find(record.names[2].path);
        if (backup.empty() || !disk.PathExists(destination)) return install;
        const std::vector<std::string>& listed = replacements.Find(record.names[2].path);
        const RecordedBackup* recorded = installRecord.Backup(destinationName);
        const platform::ContentStamp* written = installRecord.Written(destinationName);
        bool safe = false;
        // (What is pending now is this run's own copy, not yet made.)
        if (recorded || written) {
          // The record knows what the file held before the patch and what the patch wrote.
          const auto now = operation.StampOf(destination);
          safe = (recorded && Holds(now, &recorded->original)) || Holds(now, written) ||
                 platform::FirstWithSameBytes(disk, destination, listed).has_value();
        } else {
          safe = platform::FirstWithSameBytes(disk, destination,
                                              ContentCheckCandidates(backup.front(), listed))
                     .has_value();
        }
        if (safe) return install;
        notInstalled.push_back(destination);
        return CopyDecision::Without(RecordResult::Failed, destination,
                                     "no backup of it could be made", true);
      });
  WarnAboutFiles(run,
                 "These files were not replaced, because no backup of them could be made in the "
                 "patch folder:",
                 notInstalled, "They have been left as they were.");
  // Every copy is done or failed (and left its file as it was): what is written is recorded.
  installRecord.ForgetPending();
}

void CreateFolders(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, CreateFolders);
}
void RenameForward(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, RenameForward);
}
void BackupFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, BackupFiles);
}
void InstallFiles(PatchContext& context, PatchView& view) {
  RunStepAlone(context, view, InstallFiles);
}
