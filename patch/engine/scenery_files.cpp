#include "patch/engine/scenery_files.h"

#include <algorithm>
#include <cstdio>

#include "patch/engine/copy_patch_file.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

// Lets the dialog repaint the status line before each copy.
constexpr unsigned kCopyPauseMilliseconds = 50;

void ShowCopyProgress(PatchContext& context, PatchView& view, const char* format, int number) {
  char text[64];
  std::snprintf(text, sizeof text, format, number);
  context.m_strStatus = text;
  view.RefreshControls();
  view.PumpMessagesFor(0, kCopyPauseMilliseconds);
}

// The one spelling of `path` that SameFileName compares.
std::string ComparableName(const std::string& path) {
  return platform::ComparablePath(path, platform::TrailingSeparator::kKeep);
}

struct RenameResult {
  RecordResult result;
  std::string failed;  // the rename ("A to B") or deletion ("A") that failed
};

// Moves `from` to `to`: when `to` already exists the file `from` is deleted instead (the target
// name wins); when neither exists, or `from` is gone already, there is nothing to do.
RenameResult ApplyRename(platform::Disk& disk, const std::string& from, const std::string& to) {
  if (SameFileName(from, to)) return {RecordResult::NothingToDo, ""};
  if (disk.PathExists(to)) {
    if (!disk.PathExists(from)) return {RecordResult::NothingToDo, ""};
    if (disk.RemoveFile(from)) return {RecordResult::Done, ""};
    return {RecordResult::Failed, from};
  }
  if (!disk.PathExists(from)) return {RecordResult::NothingToDo, ""};
  if (disk.MovePath(from, to)) return {RecordResult::Done, ""};
  return {RecordResult::Failed, from + " to " + to};
}

constexpr const char* kRecordUnwritableText =
    " could not be written.\n\nThe changes made so far are on the disk, but a later install or "
    "removal cannot tell them from the product's own files. Please check that the patch folder "
    "can be written.";

const std::vector<std::string> kNoFiles;

// The "Warning" for a name of `record` that leaves its folder, shown as `path`.
std::string NameOutsideText(const ListRecord& record, const std::string& path) {
  return "Line " + std::to_string(record.lineNumber) + " of " + record.listFile +
         " names a file outside the folder it belongs in:\n\n" + path +
         "\n\nThe line has been skipped.";
}

}  // namespace

CopyDecision CopyDecision::Copy(std::string source, std::string destination) {
  CopyDecision decision;
  decision.source = std::move(source);
  decision.destination = std::move(destination);
  return decision;
}

CopyDecision CopyDecision::Without(RecordResult result, std::string subject, std::string why,
                                   bool told) {
  CopyDecision decision;
  decision.result = result;
  decision.subject = std::move(subject);
  decision.why = std::move(why);
  decision.told = told;
  return decision;
}

CopyDecision CopyDecision::AlreadyEntered() {
  CopyDecision decision;
  decision.entered = true;
  return decision;
}

OperationRun::OperationRun(PatchContext& context, PatchView& view, platform::Disk& disk,
                           PatchLists lists, OperationOutcome& outcome)
    : context(context),
      view(view),
      disk(disk),
      lists(std::move(lists)),
      record(InstallRecord::Load(disk, context)),
      outcome(outcome),
      failureMessages_(outcome, view) {}

void OperationRun::SaveRecord() {
  if (record.Save(disk, context)) return;
  Tell("The install record " + InstallRecord::PathIn(context) + kRecordUnwritableText, "Warning",
       MessageRole::FailureOfItsOwn);
}

std::optional<platform::ContentStamp> OperationRun::StampOf(const std::string& path) {
  const std::optional<std::string> version = disk.FileVersion(path);
  const std::string key = ComparableName(path);
  if (version)
    if (const auto known = knownStamps_.find(key);
        known != knownStamps_.end() && known->second.version == *version)
      return known->second.stamp;
  const std::optional<platform::ContentStamp> stamp = platform::StampOfFile(disk, path);
  if (stamp) KnowStamp(path, version, *stamp);
  return stamp;
}

void OperationRun::KnowStamp(const std::string& path, const std::optional<std::string>& version,
                             const platform::ContentStamp& stamp) {
  if (version)
    knownStamps_[ComparableName(path)] = {*version, stamp};
  else
    knownStamps_.erase(ComparableName(path));
}

void OperationRun::Tell(const std::string& text, const std::string& caption, MessageRole role) {
  outcome.Tell(view, text, caption, role);
}

void StepRun::Enter(const ListRecord& record, RecordResult result, const std::string& subject,
                    const std::string& why, bool told) {
  outcome().Enter({step, record.listFile, record.lineNumber, result, subject, why, told});
}

bool StepRun::NamesStayInside(const ListRecord& record, std::initializer_list<size_t> columns,
                              const std::string& extension) {
  const bool scenery =
      record.listFile != kCreateListFile.name && record.listFile != kRenameListFile.name;
  for (size_t column : columns) {
    const ListName& name = record.names[column];
    if (name.inside) continue;
    operation.Tell(NameOutsideText(record, scenery ? ScenerySubPath(name, extension) : name.path),
                   "Warning", MessageRole::TellsOfItsRecords);
    Enter(record, RecordResult::Skipped, name.path, "names a file outside its folder", true);
    return false;
  }
  return true;
}

void RunStepAlone(PatchContext& context, PatchView& view, void (*step)(OperationRun&)) {
  OperationOutcome outcome;
  platform::Disk& disk = platform::HostDisk();
  OperationRun run(context, view, disk, ReadPatchLists(context, disk), outcome);
  step(run);
  run.SaveRecord();
}

std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension) {
  return platform::JoinPath(folder, name + "." + extension);
}

std::string ScenerySubPath(const ListName& name, const std::string& extension) {
  return ScenerySubPath(name.folder, name.value, extension);
}

std::optional<std::string> CurrentSceneryForm(platform::Disk& disk, const std::string& fsPath,
                                              const std::string& name) {
  if (disk.PathExists(ScenerySubPath(fsPath, name, "XXX"))) return "XXX";
  if (disk.PathExists(ScenerySubPath(fsPath, name, "BGL"))) return "BGL";
  return std::nullopt;
}

std::string NeitherFormText(const ListName& name) {
  return "neither " + ScenerySubPath(name, "BGL") + " nor its .XXX form exists";
}

void CopyListedSceneryFiles(StepRun& run, const std::vector<ListRecord>& records,
                            const char* progressFormat, const CopyPlanner& plan) {
  struct MadeCopy {
    const ListRecord* record;
    std::string destination;
    platform::ContentStamp written;
    std::function<void(const platform::ContentStamp&)> onDone;
  };
  std::vector<MadeCopy> made;
  int copyNumber = 1;
  platform::Disk& disk = run.disk();
  PatchContext& context = run.context();
  // The copies are put on the disk together, before any of them replaces a file.
  disk.StartCopies();
  for (const ListRecord& record : records) {
    if (!run.NamesStayInside(record, {0})) continue;
    const ListName& name = record.names[0];
    const auto form = CurrentSceneryForm(disk, name.folder, name.value);
    if (!form) {
      run.Enter(record, RecordResult::Skipped, name.path, NeitherFormText(name));
      continue;
    }
    const CopyDecision decision = plan(record, *form);
    if (!decision.source || !decision.destination) {
      if (decision.entered) continue;
      // A told record's warning comes at the end of the step and is claimed then.
      run.Enter(record, decision.result, decision.subject, decision.why, decision.told);
      continue;
    }
    ShowCopyProgress(context, run.view(), progressFormat, copyNumber++);
    const platform::CopyResult result =
        disk.CopyFile(*decision.source, *decision.destination, context.m_strStatus,
                      decision.expected ? &*decision.expected : nullptr, decision.newTarget);
    if (result.outcome == platform::CopyOutcome::SourceDiffers) {
      // The step's own warning names it.
      if (decision.onSourceDiffers) decision.onSourceDiffers();
      run.Enter(record, RecordResult::Failed, *decision.destination,
                "its backup does not hold the original", true);
      continue;
    }
    if (result.outcome != platform::CopyOutcome::Done) {
      run.operation.Tell(CopyFailureText(disk, result, *decision.source, *decision.destination),
                         "Warning", MessageRole::TellsOfItsRecords);
      run.Enter(record, RecordResult::Failed, *decision.destination, "the copy failed", true);
      continue;
    }
    made.push_back({&record, *decision.destination, result.copied, decision.onDone});
  }
  std::vector<platform::FailedReplacement> failures = disk.FinishCopies();
  for (const MadeCopy& copy : made) {
    auto failed = std::find_if(failures.begin(), failures.end(), [&](const auto& failure) {
      return SameFileName(failure.target, copy.destination);
    });
    if (failed == failures.end()) {
      if (copy.onDone) copy.onDone(copy.written);
      run.Enter(*copy.record, RecordResult::Done, copy.destination);
      continue;
    }
    run.operation.Tell(UnfinishedCopyText(disk, *failed), "Warning", MessageRole::TellsOfItsRecords);
    failures.erase(failed);
    run.Enter(*copy.record, RecordResult::Failed, copy.destination, "the copy failed", true);
  }
  // None expected: every copy above was matched. A copy no record stands for is a failure of its
  // own.
  for (const platform::FailedReplacement& failure : failures)
    run.operation.Tell(UnfinishedCopyText(disk, failure), "Warning", MessageRole::FailureOfItsOwn);
}

void PairedFiles::Add(const std::string& fsFile, const std::string& patchFile) {
  byName_[ComparableName(fsFile)].push_back(patchFile);
}

const std::vector<std::string>& PairedFiles::Find(const std::string& fsFile) const {
  const auto found = byName_.find(ComparableName(fsFile));
  return found == byName_.end() ? kNoFiles : found->second;
}

PairedFiles ListedBackups(const PatchLists& lists) {
  PairedFiles files;
  for (const ListRecord& record : lists.backup) {
    const ListName& fs = record.names[0];
    const ListName& backup = record.names[1];
    // The first record for a file names its backup.
    if (!fs.inside || !files.Find(fs.path).empty()) continue;
    // A backup named outside the patch folder is never made: the file has none.
    files.Add(fs.path, backup.inside ? ScenerySubPath(backup, "BGL") : std::string());
  }
  return files;
}

PairedFiles ListedReplacements(const PatchLists& lists) {
  PairedFiles files;
  for (const ListRecord& record : lists.install) {
    const ListName& replacement = record.names[1];
    const ListName& destination = record.names[2];
    if (!replacement.inside || !destination.inside) continue;
    files.Add(destination.path, ScenerySubPath(replacement, "BGL"));
  }
  return files;
}

void WarnAboutFiles(StepRun& run, const std::string& lead, const std::vector<std::string>& files,
                    const std::string& tail) {
  if (files.empty()) return;
  std::string text = lead + "\n";
  for (const std::string& file : files) text += "\n" + file;
  run.operation.Tell(text + "\n\n" + tail, "Warning", MessageRole::TellsOfItsRecords);
}

void RenameListedFiles(StepRun& run, RenameDirection direction) {
  const bool forward = direction == RenameDirection::Forward;
  platform::Disk& disk = run.disk();
  std::vector<std::string> failed;
  std::vector<std::pair<std::string, std::string>> listed;  // the values of the lines run
  for (const ListRecord& record : run.lists().rename) {
    if (!run.NamesStayInside(record, {0, 1})) continue;
    const std::string& original = record.names[0].path;
    const std::string& patched = record.names[1].path;
    // A missing name would resolve to the FS2004 folder itself, which always exists: deleting or
    // moving against it could lose a file or the whole folder.
    if (original.empty() || patched.empty()) {
      run.Enter(record, RecordResult::Skipped, original.empty() ? patched : original,
                "the line names only one file");
      continue;
    }
    listed.emplace_back(record.names[0].value, record.names[1].value);
    const RenameResult renamed =
        forward ? ApplyRename(disk, original, patched) : ApplyRename(disk, patched, original);
    const bool fails = renamed.result == RecordResult::Failed;
    run.Enter(record, renamed.result, fails ? renamed.failed : original,
              fails ? "could not be renamed or deleted" : "", fails);
    if (fails) failed.push_back(renamed.failed);
    if (forward && !fails && !SameFileName(original, patched) && disk.PathExists(patched))
      run.record().AddRename(record.names[0].value, record.names[1].value);
  }
  // Renames an earlier version of the patch made and this one no longer lists.
  std::vector<std::string> unlisted;
  if (!forward) {
    for (const auto& [originalValue, patchedValue] : run.record().Renames()) {
      const bool stillListed = std::any_of(listed.begin(), listed.end(), [&](const auto& pair) {
        return SameFileName(pair.first, originalValue) && SameFileName(pair.second, patchedValue);
      });
      const ListName original = RenameListName(run.context(), originalValue);
      const ListName patched = RenameListName(run.context(), patchedValue);
      if (stillListed || !original.inside || !patched.inside || original.path.empty() ||
          patched.path.empty())
        continue;
      if (ApplyRename(disk, patched.path, original.path).result == RecordResult::Failed)
        unlisted.push_back(patched.path + " to " + original.path);
    }
  }
  WarnAboutFiles(run, "These files could not be renamed or deleted:", failed, kLeftAsTheyWereText);
  // No list record stands for these: their warning is a failure of its own.
  if (!unlisted.empty()) {
    std::string text = "These renames an earlier version of the patch made could not be undone:\n";
    for (const std::string& rename : unlisted) text += "\n" + rename;
    run.operation.Tell(text + "\n\n" + kLeftAsTheyWereText, "Warning",
                       MessageRole::FailureOfItsOwn);
  }
}

bool SameFileName(const std::string& a, const std::string& b) {
  return ComparableName(a) == ComparableName(b);
}

std::vector<std::string> ContentCheckCandidates(const std::string& first,
                                                const std::vector<std::string>& rest) {
  std::vector<std::string> candidates{first};
  candidates.insert(candidates.end(), rest.begin(), rest.end());
  return candidates;
}
