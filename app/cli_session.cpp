#include "app/cli_session.h"

#include "app/patch_app.h"
#include "platform/files.h"
#include "platform/module.h"
#include "platform/strings.h"
#include "ui/framework/headless/headless_backend.h"
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
// is disabled or the click was refused.
int ClickApplyPatch(HeadlessWindow& window, int wanted) {
  if (!window.IsControlEnabled(IDC_APPLY_PATCH)) return kCliCouldNotRun;
  if ((window.GetCheck(IDC_APPLY_PATCH) != 0) == (wanted != 0)) {
    window.SetCheck(IDC_APPLY_PATCH, wanted != 0 ? 0 : 1);
  }
  window.Click(IDC_APPLY_PATCH);
  // The tick is put back when the click was refused (no SCENERY.CFG in the FS2004 folder).
  if ((window.GetCheck(IDC_APPLY_PATCH) != 0) != (wanted != 0)) return kCliCouldNotRun;
  return kCliDone;
}

void PickFolder(HeadlessBackend& backend, HeadlessWindow& window, int button,
                const std::string& folder) {
  backend.folderAnswers.clear();
  backend.folderAnswers.push_back(folder);
  window.Click(button);
  backend.folderAnswers.clear();
}

}  // namespace

std::string MessageBoxLine(const std::string& caption, const std::string& text) {
  std::string line = caption + ": ";
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

int RunCliSession(const CliOptions& options, std::ostream& out, std::ostream& err) {
  if (options.patchDir && !platform::SetCurrentFolder(*options.patchDir)) {
    err << "ovpatch-cli: cannot use the patch folder " << *options.patchDir << "\n";
    return kCliUsageError;
  }
  platform::OverrideOwnFileName(platform::JoinPath(platform::CurrentFolder(), kOwnFileName));

  HeadlessBackend backend;
  backend.strings = StringResources();
  backend.onMessageBox = [&err](const HeadlessMessageBox& box) {
    err << MessageBoxLine(box.caption, box.text) << std::endl;
  };
  backend.onControlTextChanged = [&out](int id, const std::string& text) {
    if (id == IDC_STATUS) out << text << std::endl;
  };

  int exitStatus = kCliDone;
  if (options.fsPath) {
    backend.steps.push_back([&backend, folder = *options.fsPath](HeadlessWindow& window) {
      PickFolder(backend, window, IDC_CHANGE_FS_PATH, folder);
    });
  }
  if (options.installPath) {
    backend.steps.push_back([&backend, folder = *options.installPath](HeadlessWindow& window) {
      PickFolder(backend, window, IDC_CHANGE_INSTALL_PATH, folder);
    });
  }
  backend.steps.push_back([&](HeadlessWindow& window) {
    switch (options.command) {
      case CliCommand::Status: PrintFields(window, out); break;
      case CliCommand::Apply: exitStatus = ClickApplyPatch(window, 1); break;
      case CliCommand::Remove: exitStatus = ClickApplyPatch(window, 0); break;
    }
  });
  // With the script done the backend presses Escape: the dialog closes as "Done" does.

  {
    ScopedDialogBackend activeBackend(backend);
    CPatchApp app;
    app.Run();
  }
  platform::OverrideOwnFileName(std::nullopt);
  out.flush();
  // Any message of the run counts, start-up and the folder changes included.
  if (exitStatus == kCliDone && !backend.messageBoxes.empty()) return kCliRanWithMessages;
  return exitStatus;
}
