#include "patch/engine/install_sequence.h"

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/file_layers/whole_file.h"

void InstallPatch(PatchContext& context, PatchView& view, OperationOutcome& outcome) {
  OutcomeView counted(outcome, view);
  const PatchLists lists = ReadPatchLists(context);
  // Each step runs whatever the one before did; nothing is undone.
  CreateFolders(context, counted, lists, outcome);
  RegisterExcludeArea(context, counted);
  RenameForward(context, counted, lists, outcome);
  BackupFiles(context, counted, lists, outcome);
  InstallFiles(context, counted, lists, outcome);
}

OperationOutcome InstallPatch(PatchContext& context, PatchView& view) {
  OperationOutcome outcome;
  InstallPatch(context, view, outcome);
  return outcome;
}

void CreateFolders(PatchContext& context, PatchView& view, const PatchLists& lists,
                   OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "CreateFolders"};
  std::vector<std::string> notCreated;
  for (const ListRecord& record : lists.create) {
    if (!run.NamesStayInside(record, {0})) continue;
    const std::string& path = record.names[0].path;
    if (platform::PathExists(path)) {
      run.Enter(record, RecordResult::NothingToDo, path);
    } else if (platform::CreateFolder(path)) {  // one level only
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

void RenameForward(PatchContext& context, PatchView& view, const PatchLists& lists,
                   OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "RenameForward"};
  RenameListedFiles(run, RenameDirection::Forward);
}

void BackupFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                 OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "BackupFiles"};
  const PairedFiles replacements = ListedReplacements(lists);
  std::vector<std::string> patchedWithoutBackup;
  CopyListedSceneryFiles(run, lists.backup, "Backing up file %d",
                         [&](const ListRecord& record, const std::string& form) -> CopyDecision {
                           if (!run.NamesStayInside(record, {1}))
                             return CopyDecision::AlreadyEntered();
                           // The backup comes from the form that install and restore write, so that
                           // a removal puts back exactly the content that the install replaced.
                           const std::string source = ScenerySubPath(record.names[0], form);
                           const std::string destination = ScenerySubPath(record.names[1], "BGL");
                           // One read of the file answers both checks below.
                           const auto holds = platform::FirstWithSameBytes(
                               source, ContentCheckCandidates(
                                           destination, replacements.Find(record.names[0].path)));
                           // A file that already is its replacement is never taken for the
                           // original.
                           if (holds && *holds > 0) {
                             if (platform::PathExists(destination))
                               return CopyDecision::Without(RecordResult::NothingToDo, source);
                             patchedWithoutBackup.push_back(source);
                             return CopyDecision::Without(
                                 RecordResult::Skipped, source,
                                 "patched already, no backup of its original", true);
                           }
                           // A backup that still holds the file is kept; one that differs is stale
                           // (the product has changed since) and is taken again.
                           if (holds) return CopyDecision::Without(RecordResult::NothingToDo, source);
                           return CopyDecision::Copy(source, destination);
                         });
  WarnAboutFiles(run,
                 "These files are patched already, but the patch folder holds no backup of their "
                 "originals:",
                 patchedWithoutBackup,
                 "Removing the patch cannot bring the originals back. Keep the patch folder that "
                 "installed the patch, with its backups.");
}

void InstallFiles(PatchContext& context, PatchView& view, const PatchLists& lists,
                  OperationOutcome& outcome) {
  StepRun run{context, view, lists, outcome, "InstallFiles"};
  const PairedFiles backups = ListedBackups(lists);
  const PairedFiles replacements = ListedReplacements(lists);
  std::vector<std::string> notInstalled;
  // The FS2004 file named first decides the form the replacement is written in.
  CopyListedSceneryFiles(
      run, lists.install, "Installing file %d",
      [&](const ListRecord& record, const std::string& form) -> CopyDecision {
        if (!run.NamesStayInside(record, {1}) || !run.NamesStayInside(record, {2}, form))
          return CopyDecision::AlreadyEntered();
        const std::string source = ScenerySubPath(record.names[1], "BGL");
        const std::string destination = ScenerySubPath(record.names[2], form);
        // A missing replacement is tried, so that its copy says so.
        if (!platform::PathExists(source)) return CopyDecision::Copy(source, destination);
        // A file BAK.OV names is overwritten only while its backup holds it, or while it holds
        // a replacement INST.OV puts over it (records over one file install in list order), so
        // that the removal can always put it back.
        const std::vector<std::string>& backup = backups.Find(record.names[2].path);
        if (!backup.empty() && platform::PathExists(destination) &&
            !platform::FirstWithSameBytes(
                destination,
                ContentCheckCandidates(backup.front(), replacements.Find(record.names[2].path)))) {
          notInstalled.push_back(destination);
          return CopyDecision::Without(RecordResult::Failed, destination,
                                       "no backup of it could be made", true);
        }
        return CopyDecision::Copy(source, destination);
      });
  WarnAboutFiles(run,
                 "These files were not replaced, because no backup of them could be made in the "
                 "patch folder:",
                 notInstalled, "They have been left as they were.");
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
