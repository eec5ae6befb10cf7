#pragma once
// What the install and removal steps share: the two forms of an FS2004 scenery file (NAME.BGL
// active, NAME.XXX disabled), the numbered copies of BAK.OV and INST.OV, REN.OV's renames, and the
// entering of each record's result in the operation's outcome.
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/engine/install_record.h"
#include "patch/engine/operation_outcome.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"
#include "platform/file_layers/content_hash.h"

// One install or removal as its steps share it: where it works, the disk it is handed, the lists
// read once at its start, the install record as the operation finds and changes it, and the
// outcome it enters its results and messages in.
struct OperationRun {
  PatchContext& context;
  PatchView& view;
  platform::Disk& disk;
  PatchLists lists;
  InstallRecord record;
  OperationOutcome& outcome;

  OperationRun(PatchContext& context, PatchView& view, platform::Disk& disk, PatchLists lists,
               OperationOutcome& outcome);
  // Writes the record when a step changed it; a "Warning" when it cannot be written.
  void SaveRecord();
  // Shows a message and enters it in the outcome as what it stands for.
  void Tell(const std::string& text, const std::string& caption, MessageRole role);
  // The view for calls that show their messages themselves: each is a failure of its own.
  PatchView& FailureMessages() { return failureMessages_; }

  // The stamp of the file `path` (platform::StampOfFile), not read again while the disk gives it
  // the version it had when the run last read it whole.
  std::optional<platform::ContentStamp> StampOf(const std::string& path);
  // The version of `path` now, for KnowStamp once the file has been read whole.
  std::optional<std::string> VersionOf(const std::string& path) { return disk.FileVersion(path); }
  // `stamp` is what `path` held at `version` (a copy read it).
  void KnowStamp(const std::string& path, const std::optional<std::string>& version,
                 const platform::ContentStamp& stamp);

private:
  struct KnownStamp {
    std::string version;
    platform::ContentStamp stamp;
  };
  FailureMessagesView failureMessages_;
  std::unordered_map<std::string, KnownStamp> knownStamps_;  // by SameFileName's spelling
};

// One step of an operation.
struct StepRun {
  OperationRun& operation;
  const char* step;  // "BackupFiles"

  PatchContext& context() const { return operation.context; }
  PatchView& view() const { return operation.view; }
  platform::Disk& disk() const { return operation.disk; }
  const PatchLists& lists() const { return operation.lists; }
  InstallRecord& record() const { return operation.record; }
  OperationOutcome& outcome() const { return operation.outcome; }

  // Enters `record`'s result; `told` when a message of the step names it.
  void Enter(const ListRecord& record, RecordResult result, const std::string& subject,
             const std::string& why = "", bool told = false);
  // Enters `record` as skipped, after a "Warning", when one of its names in `columns` leaves its
  // folder; false then. Scenery names are told with `extension`, as the step uses them.
  bool NamesStayInside(const ListRecord& record, std::initializer_list<size_t> columns,
                       const std::string& extension = "BGL");
};

// Runs one step on its own, on the host's disk: the lists and the record read now, the results in
// an outcome of its own, the record saved after it.
void RunStepAlone(PatchContext& context, PatchView& view, void (*step)(OperationRun&));

// "folder\name.extension".
std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension);
// A scenery name of a list record with its extension.
std::string ScenerySubPath(const ListName& name, const std::string& extension);

// The form the FS2004 file `name` under `fsPath` has now on `disk`: "XXX" when the disabled form
// exists (also when both do), otherwise "BGL" when the active form exists, nullopt when neither
// does.
std::optional<std::string> CurrentSceneryForm(platform::Disk& disk, const std::string& fsPath,
                                              const std::string& name);

// Why a record whose FS2004 file exists in neither form is skipped.
std::string NeitherFormText(const ListName& name);

// One file copy of a list record, or what the record comes to without one.
struct CopyDecision {
  std::optional<std::string> source, destination;   // both set: copy
  RecordResult result = RecordResult::NothingToDo;  // without a copy
  std::string subject;
  std::string why;
  bool told = false;     // a warning of the step will name it
  bool entered = false;  // the planner has entered the record's result itself
  // A copy replaces nothing unless its source holds these bytes.
  std::optional<platform::ContentStamp> expected;
  // How a destination that does not exist yet is written.
  platform::NewTarget newTarget = platform::NewTarget::kBesideThenMoved;
  // Called once the copy is on the disk, with the stamp of what it wrote.
  std::function<void(const platform::ContentStamp&)> onDone;
  // Called when the source did not hold `expected`; the record is then entered as failed and
  // told (the step's own warning names it).
  std::function<void()> onSourceDiffers;

  static CopyDecision Copy(std::string source, std::string destination);
  static CopyDecision Without(RecordResult result, std::string subject, std::string why = "",
                              bool told = false);
  static CopyDecision AlreadyEntered();
};
// What to do for one record whose first-column FS2004 file exists in `form`.
using CopyPlanner = std::function<CopyDecision(const ListRecord& record, const std::string& form)>;

// Walks `records`: a record whose first name leaves the FS2004 folder is skipped with a "Warning",
// one whose FS2004 file exists in neither form is skipped silently; the others are planned by
// `plan`, and each copy is made with CopyPatchFile after `progressFormat` (one "%d", numbered from
// 1) has been shown in the status line for a 50 ms pause, all of them put on the disk together at
// the end. Each record's result is entered.
void CopyListedSceneryFiles(StepRun& run, const std::vector<ListRecord>& records,
                            const char* progressFormat, const CopyPlanner& plan);

// The patch-folder files a list pairs with FS2004 files (path without extension, compared as
// SameFileName), in list order: the backups of BAK.OV (the first record for a file wins) or all
// the replacements INST.OV puts over a destination. Records with a name outside its folder are
// left out. One look-up costs the same however long the list is.
class PairedFiles {
public:
  void Add(const std::string& fsFile, const std::string& patchFile);
  // Nothing when the file is not listed.
  const std::vector<std::string>& Find(const std::string& fsFile) const;

private:
  std::unordered_map<std::string, std::vector<std::string>> byName_;
};
PairedFiles ListedBackups(const PatchLists& lists);
PairedFiles ListedReplacements(const PatchLists& lists);

// Shows one "Warning": `lead`, the files one per line, then `tail`; it tells of the records the
// step entered as told. Nothing when `files` is empty.
void WarnAboutFiles(StepRun& run, const std::string& lead, const std::vector<std::string>& files,
                    const std::string& tail);

// Runs REN.OV: each line's first name is moved to its second (forward) or back (RenameBack). A
// target that exists already wins: the source is deleted instead. Same names, missing names and
// sources that do not exist are left alone; a line with a name outside its folder is skipped with a
// "Warning"; renames and deletions that fail are named in one "Warning". Forward, each rename in
// place is kept in the install record; back, a rename the record holds that REN.OV no longer lists
// is undone as well.
enum class RenameDirection { Forward, Back };
void RenameListedFiles(StepRun& run, RenameDirection direction);

// True when the two paths name the same file: equal after unifying the separators, merging
// repeated ones and upper-casing (platform::ComparablePath, a separator at the end kept).
bool SameFileName(const std::string& a, const std::string& b);

// `first` followed by `rest`: the candidates of one content check (platform::FirstWithSameBytes).
std::vector<std::string> ContentCheckCandidates(const std::string& first,
                                                const std::vector<std::string>& rest);

// The tail of the warnings about files a step could not change.
inline constexpr const char* kLeftAsTheyWereText =
    "They have been left as they were. Another program, such as FS2004, may be using them.";
