#include "app/cli_session.h"

#include <utility>

#include "app/cli_make.h"
#include "app/patch_app.h"
#include "patch/audit/operation_plan.h"
#include "patch/audit/operation_record.h"
#include "patch/audit/patch_verify.h"
#include "patch/context/change_lock.h"
#include "patch/context/patch_folder.h"
#include "patch/context/settings.h"
#include "patch/engine/install_record.h"
#include "platform/file_layers/planned_disk.h"
#include "platform/files.h"
#include "platform/module.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "platform/typed_folder.h"
#include "ui/framework/headless/headless_backend.h"
#include "ui/patch_dlg.h"
#include "ui/res/resource.h"
#include "ui/string_resources.h"

namespace {

// The file name the program would have in the patch folder: its folder is the program's own.
constexpr const char* kOwnFileName = "ovpatch-cli.exe";

void PrintFields(HeadlessWindow& window, std::ostream& out) {
  out << "FS2004 Installation Path: " << window.GetControlText(IDC_FS_PATH) << "\n"
      << "Product To Be Patched: " << window.GetControlText(IDC_PRODUCT_TITLE) << "\n"
      << "Product Install Path: " << window.GetControlText(IDC_PRODUCT_PATH) << "\n"
      << "Apply Patch: " << (window.GetCheck(IDC_APPLY_PATCH) != 0 ? "ticked" : "clear") << ", "
      << (window.IsControlEnabled(IDC_APPLY_PATCH) ? "enabled" : "disabled") << "\n"
      << "Status: " << window.GetControlText(IDC_STATUS) << "\n";
}

// Clicks "Apply Patch" so that it ends with tick `wanted`; a box already showing it is first set
// the other way without a click, so the operation always runs. kCliCouldNotRun when the checkbox
// is disabled or the dialog refused the click; otherwise what the operation's outcome says.
int ClickApplyPatch(HeadlessWindow& window, const CPatchDlg& dialog, int wanted) {
  if (!window.IsControlEnabled(IDC_APPLY_PATCH)) return kCliCouldNotRun;
  if ((window.GetCheck(IDC_APPLY_PATCH) != 0) == (wanted != 0)) {
    window.SetCheck(IDC_APPLY_PATCH, wanted != 0 ? 0 : 1);
  }
  window.Click(IDC_APPLY_PATCH);
  // No outcome when the click was refused (no SCENERY.CFG in the FS2004 folder, or another
  // instance is changing the same folders).
  const OperationOutcome* outcome = dialog.LastOutcome();
  if (!outcome) return kCliCouldNotRun;
  return outcome->Failed() ? kCliRanWithMessages : kCliDone;
}

// Whether the dialog would run an install or removal now; when not, says why on `out`.
bool OperationCanRun(HeadlessWindow& window, CPatchDlg& dialog, std::ostream& out) {
  if (!window.IsControlEnabled(IDC_APPLY_PATCH)) {
    out << "\"Apply Patch\" is disabled: the patch cannot be applied or removed now.\n";
    return false;
  }
  return CheckSceneryConfig(dialog.Context(), dialog, dialog.Disk());
}

// The install or removal as it would run; kCliRanWithMessages when a problem is foreseen.
int PrintPlan(CPatchDlg& dialog, bool install, std::ostream& out) {
  const OperationPlan plan = PlanOperation(dialog.Context(), install, dialog.Disk());
  for (const std::string& action : plan.actions) out << action << "\n";
  if (plan.problems.empty()) {
    out << "No problems foreseen.\n";
  } else {
    out << "Problems foreseen: " << plan.problems.size() << "\n";
    for (const std::string& problem : plan.problems) out << problem << "\n";
  }
  if (!plan.skipped.empty()) {
    out << "Records the run will skip: " << plan.skipped.size() << "\n";
    for (const std::string& skipped : plan.skipped) out << skipped << "\n";
  }
  if (!plan.listRemarks.empty()) {
    out << "List file lines that look like mistakes: " << plan.listRemarks.size() << "\n";
    for (const ListRemark& remark : plan.listRemarks) out << ListRemarkLine(remark) << "\n";
  }
  return plan.problems.empty() ? kCliDone : kCliRanWithMessages;
}

// The disk against the patch in its recorded state; kCliRanWithMessages when a check fails.
int PrintVerification(CPatchDlg& dialog, std::ostream& out) {
  PatchContext& context = dialog.Context();
  const bool installed = context.m_nPatchStatus == 1;
  const PatchVerification result = VerifyPatch(context, dialog.Disk(), installed);
  if (!result.hadRecord)
    out << "No install record (" << kInstallRecordFileName
        << ") in the patch folder: checked against the patch's own files.\n";
  for (const std::string& failure : result.failures) out << failure << "\n";
  out << "Verified the " << (installed ? "installed" : "removed") << " patch: " << result.checks
      << " checks, " << result.failures.size() << " failed.\n";
  return result.failures.empty() ? kCliDone : kCliRanWithMessages;
}

// Clicks `button` and picks `folder` while this process holds the change lock of the folders of
// `locked`, as the dialog takes it for that change. False when the change was refused: another
// instance holds the lock (the dialog's Warning is shown, nothing is clicked), or `field` does not
// show `shown` afterwards. Taking the lock here tells a refusal apart from a folder picked again.
bool PickFolder(HeadlessBackend& backend, HeadlessWindow& window, CPatchDlg& dialog,
                const PatchContext& locked, int button, const std::string& folder, int field,
                const std::string& shown) {
  ChangeLock lock;
  if (!LockForChange(lock, locked, dialog, dialog.Disk())) return false;
  backend.folderAnswers.clear();
  backend.folderAnswers.push_back(folder);
  window.Click(button);
  backend.folderAnswers.clear();
  return window.GetControlText(field) == shown;
}

// The folder options in the form the program keeps every folder in (platform/typed_folder.h), a
// relative one taken from the current folder; false when one cannot be kept (said on `err`).
bool KeepFolderOptions(CliOptions& options, std::ostream& err) {
  for (auto [name, folder] : {std::pair{"--fs-path", &options.fsPath},
                              std::pair{"--install-path", &options.installPath}}) {
    if (!*folder) continue;
    const platform::KeptFolder kept = platform::WindowsFolderPath(**folder);
    if (!kept.refusal.empty()) {
      err << "ovpatch-cli: " << name << " " << **folder << ": " << kept.refusal << "\n";
      return false;
    }
    *folder = kept.path;
  }
  return true;
}

// The folder options kept as the program keeps folders, taken from the folder the command was
// started in as a shell user expects, then the current folder made the patch folder
// (--patch-dir); the patch folder, or nullopt when an option or the folder cannot be used or holds
// none of the list files (said on `err`). The patch folder is the Windows path of the folder too,
// or, where no drive of the Wine prefix reaches it, the folder as the host names it: the program
// can work there all the same.
std::optional<std::string> EnterPatchFolder(CliOptions& options, std::ostream& err) {
  if (!KeepFolderOptions(options, err)) return std::nullopt;
  if (options.patchDir && !platform::SetCurrentFolder(*options.patchDir)) {
    err << "ovpatch-cli: cannot use the patch folder " << *options.patchDir << "\n";
    return std::nullopt;
  }
  const std::string patchFolder = platform::CurrentFolder();
  if (patchFolder.empty()) {
    err << "ovpatch-cli: cannot use the current folder as the patch folder: it is gone, or its path"
           " has a character that code page "
        << platform::TextCodePage() << " cannot hold\n";
    return std::nullopt;
  }
  // Start-up would write its settings and lock file into any folder: only into a patch.
  if (!HoldsPatchLists(patchFolder)) {
    err << "ovpatch-cli: " << patchFolder
        << " is not a patch folder: it holds none of the list files (";
    for (const char* name : kPatchListFileNames)
      err << (name == kPatchListFileNames[0] ? "" : ", ") << name;
    err << ")\n";
    return std::nullopt;
  }
  const platform::KeptFolder kept = platform::WindowsFolderPath(patchFolder);
  return kept.refusal.empty() ? kept.path : patchFolder;
}

// Status-line changes go to `out`, message boxes to `err`.
void ConnectOutput(HeadlessBackend& backend, std::ostream& out, std::ostream& err) {
  backend.strings = StringResources();
  backend.onMessageBox = [&err](const HeadlessMessageBox& box) {
    err << MessageBoxLine(box.caption, box.text) << std::endl;
  };
  backend.onControlTextChanged = [&out](int id, const std::string& text) {
    if (id == IDC_STATUS) out << text << std::endl;
  };
}

// What the session's script works on and finds out while the dialog runs.
struct SessionState {
  CPatchApp* app = nullptr;    // set while it runs; its main window is the patch dialog
  bool folderRefused = false;  // the dialog refused a folder option
  int exitStatus = kCliDone;

  CPatchDlg& Dialog() const { return *static_cast<CPatchDlg*>(app->m_pMainWnd); }
};

// The backend's steps for the folder options: "Change FS2004 Path", then "Change Install Path".
void ScriptFolderOptions(HeadlessBackend& backend, const CliOptions& options,
                         SessionState& session) {
  if (options.fsPath) {
    backend.steps.push_back([&, folder = *options.fsPath](HeadlessWindow& window) {
      // "Change FS2004 Path" locks the folder chosen.
      PatchContext chosen = session.Dialog().Context();
      chosen.m_strFsPath = folder;
      session.folderRefused |= !PickFolder(backend, window, session.Dialog(), chosen,
                                           IDC_CHANGE_FS_PATH, folder, IDC_FS_PATH, folder);
    });
  }
  if (options.installPath) {
    backend.steps.push_back([&, folder = *options.installPath](HeadlessWindow& window) {
      session.folderRefused |=
          !PickFolder(backend, window, session.Dialog(), session.Dialog().Context(),
                      IDC_CHANGE_INSTALL_PATH, folder, IDC_PRODUCT_PATH, folder + "\\");
    });
  }
}

// The command on the dialog as start-up and the folder options left it; its exit status.
int RunCommand(CliCommand command, HeadlessWindow& window, const SessionState& session,
               std::ostream& out) {
  switch (command) {
    case CliCommand::Status:
      PrintFields(window, out);
      return kCliDone;
    case CliCommand::Apply:
    case CliCommand::Remove:
      // An install or removal never runs on other folders than those asked for.
      if (session.folderRefused) return kCliCouldNotRun;
      return ClickApplyPatch(window, session.Dialog(), command == CliCommand::Apply ? 1 : 0);
    case CliCommand::PlanApply:
    case CliCommand::PlanRemove:
      if (!OperationCanRun(window, session.Dialog(), out)) return kCliRanWithMessages;
      return PrintPlan(session.Dialog(), command == CliCommand::PlanApply, out);
    case CliCommand::Verify:
      if (!OperationCanRun(window, session.Dialog(), out)) return kCliRanWithMessages;
      return PrintVerification(session.Dialog(), out);
    case CliCommand::Make:
      break;  // runs without the dialog
  }
  return kCliDone;
}

}  // namespace

std::string MessageBoxLine(const std::string& caption, const std::string& text) {
  return MessageLines(caption, text);
}

int RunCliSession(const CliOptions& given, std::ostream& out, std::ostream& err) {
  if (given.command == CliCommand::Make) return RunMakeCommand(given, out, err);
  CliOptions options = given;
  const std::optional<std::string> patchFolder = EnterPatchFolder(options, err);
  if (!patchFolder) return kCliUsageError;
  const platform::ScopedOwnFileName ownFileName(platform::JoinPath(*patchFolder, kOwnFileName));

  HeadlessBackend backend;
  ConnectOutput(backend, out, err);
  SessionState session;
  ScriptFolderOptions(backend, options, session);
  backend.steps.push_back([&](HeadlessWindow& window) {
    session.exitStatus = RunCommand(options.command, window, session, out);
  });
  // With the script done the backend presses Escape: the dialog closes as "Done" does.
  // The commands that only look run the whole session, start-up's writes included, on a disk that
  // changes nothing.
  const bool looksOnly = options.command != CliCommand::Apply &&
                         options.command != CliCommand::Remove &&
                         options.command != CliCommand::Status;
  platform::PlannedDisk unchangedDisk(platform::HostDisk());
  {
    ScopedDialogBackend activeBackend(backend);
    CPatchApp patchApp(looksOnly ? static_cast<platform::Disk&>(unchangedDisk)
                                 : platform::HostDisk());
    session.app = &patchApp;
    patchApp.Run();
    session.app = nullptr;
  }
  out.flush();
  if (!out) {
    err << "ovpatch-cli: the output could not be written (is the disk full?)" << std::endl;
    return kCliCouldNotRun;
  }
  // Any message of the run counts, start-up and the folder changes included.
  if (session.exitStatus == kCliDone && !backend.messageBoxes.empty()) return kCliRanWithMessages;
  return session.exitStatus;
}
