#include "ui/patch_dlg.h"

#include "patch/audit/operation_plan.h"
#include "patch/audit/operation_record.h"
#include "patch/context/change_lock.h"
#include "patch/context/patch_folder.h"
#include "patch/context/run_obstacles.h"
#include "patch/context/settings.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"
#include "ui/about_dlg.h"
#include "ui/dialog_templates.h"
#include "ui/icon_position.h"
#include "ui/res/resource.h"

namespace {

// Lets the dialog repaint the status line before an install or removal starts.
constexpr unsigned kRepaintPauseMilliseconds = 100;
// System command identifiers carry flags in their low four bits.
constexpr unsigned kSysCommandIdMask = 0xFFF0;

// The two things a click on "Apply Patch" can do.
struct PatchOperation {
  const char* waitText;
  void (*run)(PatchContext& context, PatchView& view, OperationOutcome& outcome,
              platform::Disk& disk, PatchLists lists);
  bool installs;  // the state recorded in the settings file afterwards
  const char* doneText;
  const char* doneWithMessagesText;  // when the outcome holds a failure or a message; fits the
                                     // status field
};
constexpr PatchOperation kInstall{"Applying Patch...Please Wait.", InstallPatch, true,
                                  "Patch Installed !", "Patch Installed, with warnings"};
constexpr PatchOperation kRemoval{"Removing Patch...Please Wait.", RemovePatch, false,
                                  "Patch Removed", "Patch Removed, with warnings"};

}  // namespace

CPatchDlg::CPatchDlg(CDialog* parent, platform::Disk& disk)
    : CDialog(MainDialogTemplate(), parent), m_disk(disk) {
  m_context.m_hIcon = ActiveDialogBackend().LoadIconResource(IDR_MAINFRAME);
}

CPatchDlg::~CPatchDlg() = default;

std::span<const EventEntry> CPatchDlg::GetEventTable() const {
  static const EventEntry table[] = {
      OnSysCommand<CPatchDlg, &CPatchDlg::HandleSysCommand>(),
      OnPaint<CPatchDlg, &CPatchDlg::PaintDialog>(),
      OnQueryDragIcon<CPatchDlg, &CPatchDlg::QueryDragIcon>(),
      OnClicked<CPatchDlg, &CPatchDlg::ChangeFsPath>(IDC_CHANGE_FS_PATH),
      OnClicked<CPatchDlg, &CPatchDlg::ApplyOrRemovePatch>(IDC_APPLY_PATCH),
      OnClicked<CPatchDlg, &CPatchDlg::ChangeProductPath>(IDC_CHANGE_INSTALL_PATH),
  };
  return table;
}

void CPatchDlg::DoDataExchange(DataExchange& exchange) {
  exchange.Control(IDC_APPLY_PATCH, m_checkApplyPatch);
  exchange.Text(IDC_FS_PATH, m_context.m_strFsPath);
  exchange.Text(IDC_PRODUCT_TITLE, m_context.m_strProductTitle);
  exchange.Check(IDC_APPLY_PATCH, m_context.m_bApplyPatch);
  exchange.Text(IDC_STATUS, m_context.m_strStatus);
  exchange.Text(IDC_PRODUCT_PATH, m_context.m_strProductPath);
}

void CPatchDlg::AddAboutItemAndIcons() {
  DialogWindow* window = GetWindow();
  const std::string aboutItem = ActiveDialogBackend().LoadStringResource(IDS_ABOUTBOX);
  if (!aboutItem.empty()) window->AppendSystemMenuItem(IDM_ABOUTBOX, aboutItem);
  window->SetIcon(m_context.m_hIcon, true);
  window->SetIcon(m_context.m_hIcon, false);
}

bool CPatchDlg::InitializeDialog() {
  const platform::FileOperationScope operation;
  CDialog::InitializeDialog();
  AddAboutItemAndIcons();

  ReadRegistryFsPath(m_context);
  DeriveAppDir(m_context, *this);
  UsePatchBesideProgram(m_context);
  LoadSettings(m_context, *this, m_disk);

  // Each link runs only when the previous one succeeded; a failing link has said why.
  if (CheckSceneryConfig(m_context, *this, m_disk) &&
      LoadProductSearchList(m_context, *this, m_disk) == 0 &&
      LocateProduct(m_context, *this, m_disk) == 0) {
    SyncApplyCheckbox(m_context, *this);
  }
  if (ChangeUnderWay(m_context)) m_context.m_strStatus = kChangeUnderWayStatus;
  RefreshControls();
  return true;
}

// Undoes the toggle of a click that was refused. The tick before the click is not always
// m_bApplyPatch: the command line sets the box without a click to have the operation run.
void CPatchDlg::PutTickBack() {
  if (DialogWindow* window = GetWindow())
    window->SetCheck(IDC_APPLY_PATCH, window->GetCheck(IDC_APPLY_PATCH) != 0 ? 0 : 1);
}

void CPatchDlg::ApplyOrRemovePatch() {
  // A pause of a running install or removal dispatches keys, so a space bar on the checkbox can
  // arrive here while the first operation is still running: never start a second one inside it.
  if (m_bOperationRunning) {
    PutTickBack();
    return;
  }
  m_lastOutcome.reset();
  // An FS2004 folder without SCENERY.CFG would put every path at the drive root.
  if (!CheckSceneryConfig(m_context, *this, m_disk)) {
    PutTickBack();
    return;
  }
  ChangeLock lock;
  if (!LockForChange(lock, m_context, *this, m_disk)) {
    PutTickBack();
    return;
  }
  // One operation on the disk from the check on: folders read once are trusted for its length.
  const platform::FileOperationScope fileOperation;
  // Nothing starts that a cause foreseen now would leave half done.
  const bool installs = GetWindow() != nullptr && GetWindow()->GetCheck(IDC_APPLY_PATCH) != 0;
  BeginBusy();
  // The lists are read once: the check and the run work from the same lines.
  PatchLists lists = ReadPatchLists(m_context, m_disk);
  const std::vector<std::string> obstacles = FindRunObstacles(
      m_context, installs, lists, ListedFootprint(m_context, installs, lists, m_disk), m_disk);
  if (!obstacles.empty()) {
    EndBusy();
    ShowRunObstacles(*this, obstacles, installs);
    PutTickBack();
    return;
  }
  m_bOperationRunning = true;
  const PatchContext checked = m_context;
  ReadControls();
  // The lists name files under the folders the fields hold.
  if (m_context.m_strFsPath != checked.m_strFsPath ||
      m_context.m_strProductPath != checked.m_strProductPath)
    lists = ReadPatchLists(m_context, m_disk);
  const PatchOperation& operation = m_context.m_bApplyPatch != 0 ? kInstall : kRemoval;
  m_context.m_strStatus = operation.waitText;
  RefreshControls();
  PumpMessagesFor(0, kRepaintPauseMilliseconds);
  OperationOutcome outcome;
  {
    ChangeLog log(m_context, m_disk, operation.installs ? "install" : "removal", outcome);
    operation.run(m_context, *this, outcome, log.Disk(), std::move(lists));
    // Recorded whatever happened, so that the patch can always be removed again; a failed write
    // is a failure of the operation's.
    FailureMessagesView failures(outcome, *this);
    SaveSettingsStatus(m_context, failures, operation.installs, log.Disk());
  }
  m_context.m_strStatus = outcome.Failed() ? operation.doneWithMessagesText : operation.doneText;
  m_lastOutcome = std::move(outcome);
  RefreshControls();
  EndBusy();
  m_bOperationRunning = false;
}

void CPatchDlg::ChangeFsPath() {
  const std::optional<std::string> folder = BrowseForFolder("Select FS2004 Folder Location");
  if (!folder) return;
  // A line break would end the settings value early and the rest would become a line of its own.
  if (folder->find_first_of("\r\n") != std::string::npos) {
    ShowStopMessage(
        "The chosen folder's name holds a line break and cannot be remembered.\n"
        "Please choose or rename the folder that contains FS9.EXE.",
        "Warning");
    return;
  }
  // The lock is of the folder chosen, which the rest of this change writes to (TITLE.OV is in the
  // patch folder, the product search looks into the new FS2004 folder); the picker holds none.
  PatchContext chosen = m_context;
  chosen.m_strFsPath = *folder;
  ChangeLock lock;
  if (!LockForChange(lock, chosen, *this, m_disk)) return;
  SaveSettingsFsPath(m_context, *this, *folder, m_disk);
  m_context.m_strFsPath = *folder;
  RefreshControls();
  EnableApplyCheckbox(true);
  if (!CheckSceneryConfig(m_context, *this, m_disk)) return;
  SyncApplyCheckbox(m_context, *this);
  // A start-up that found no SCENERY.CFG never read PATH.OV: without it a first run that names the
  // folder here could never find the product.
  if (!g_productSearchList.loaded && LoadProductSearchList(m_context, *this, m_disk) != 0) return;
  if (LocateProduct(m_context, *this, m_disk) == 0) SyncApplyCheckbox(m_context, *this);
}

void CPatchDlg::ChangeProductPath() {
  ChangeLock lock;
  if (LockForChange(lock, m_context, *this, m_disk)) ::ChangeProductPath(m_context, *this, m_disk);
}

void CPatchDlg::HandleSysCommand(unsigned id, intptr_t position) {
  if ((id & kSysCommandIdMask) == IDM_ABOUTBOX) {
    CAboutDlg about;
    about.DoModal();
    return;
  }
  if (DialogWindow* window = GetWindow()) window->DefaultSysCommand(id, position);
}

void CPatchDlg::PaintDialog() {
  DialogWindow* window = GetWindow();
  if (window == nullptr) return;
  if (!window->IsMinimized()) {
    window->DefaultPaint();
  } else {
    window->PaintIcon(m_context.m_hIcon, CentredIconPosition);
  }
}

IconHandle CPatchDlg::QueryDragIcon() { return m_context.m_hIcon; }

void CPatchDlg::ShowStopMessage(const std::string& text, const std::string& caption) {
  ShowMessageBox(text, caption, kMessageBoxOk | kMessageBoxIconStop);
}

void CPatchDlg::RefreshControls() { UpdateData(false); }

void CPatchDlg::ReadControls() { UpdateData(true); }

void CPatchDlg::EnableApplyCheckbox(bool enable) { m_checkApplyPatch.Enable(enable); }

std::optional<std::string> CPatchDlg::BrowseForFolder(const std::string& title) {
  return PickFolder(title);
}

int CPatchDlg::PumpMessagesFor(unsigned timerId, unsigned milliseconds) {
  return PauseFor(timerId, milliseconds);
}

void CPatchDlg::BeginBusy() { BeginWaitCursor(); }

void CPatchDlg::EndBusy() { EndWaitCursor(); }
