#include "ui/patch_dlg.h"

#include "patch/context/settings.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "ui/about_dlg.h"
#include "ui/dialog_templates.h"
#include "ui/icon_position.h"
#include "ui/res/resource.h"

CPatchDlg::CPatchDlg(CDialog* parent) : CDialog(MainDialogTemplate(), parent) {
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
  exchange.Control(IDC_PRODUCT_PATH, m_editProductPath);
  exchange.Control(IDC_APPLY_PATCH, m_checkApplyPatch);
  exchange.Control(IDC_PRODUCT_TITLE, m_editProductTitle);
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
  LoadSettings(m_context);

  // Each link runs only when the previous one succeeded; a failing link has said why.
  if (CheckSceneryConfig(m_context, *this) && LoadProductSearchList(m_context, *this) == 0 &&
      LocateProduct(m_context, *this) == 0) {
    SyncApplyCheckbox(m_context, *this);
  }
  RefreshControls();
  return true;
}

// The checkbox shows m_bApplyPatch again, undoing the toggle of a click that was refused.
void CPatchDlg::PutTickBack() { m_checkApplyPatch.SetCheck(m_context.m_bApplyPatch); }

void CPatchDlg::ApplyOrRemovePatch() {
  // A pause of a running install or removal dispatches keys, so a space bar on the checkbox can
  // arrive here while the first operation is still running: never start a second one inside it.
  if (m_bOperationRunning) {
    PutTickBack();
    return;
  }
  // An FS2004 folder without SCENERY.CFG would put every path at the drive root.
  if (!CheckSceneryConfig(m_context, *this)) {
    PutTickBack();
    return;
  }
  m_bOperationRunning = true;
  const platform::FileOperationScope operation;
  BeginBusy();
  ReadControls();
  if (m_context.m_bApplyPatch != 0) {
    m_context.m_strStatus = "Applying Patch...Please Wait.";
    RefreshControls();
    PumpMessagesFor(0, 100);
    InstallPatch(m_context, *this);
    platform::WriteProfileString(kSettingsSection, kSettingsStatusKey, "1", m_context.m_strIniFile);
    m_context.m_strStatus = "Patch Installed !";
  } else {
    m_context.m_strStatus = "Removing Patch...Please Wait.";
    RefreshControls();
    PumpMessagesFor(0, 100);
    RemovePatch(m_context, *this);
    platform::WriteProfileString(kSettingsSection, kSettingsStatusKey, "0", m_context.m_strIniFile);
    m_context.m_strStatus = "Patch Removed";
  }
  RefreshControls();
  EndBusy();
  m_bOperationRunning = false;
}

void CPatchDlg::ChangeFsPath() {
  const std::optional<std::string> folder = BrowseForFolder("Select FS2004 Folder Location");
  if (!folder) return;
  // A line break would end the settings value early and the rest would become a line of its own.
  if (folder->find_first_of("\r\n") != std::string::npos) {
    ShowStopMessage("The chosen folder's name holds a line break and cannot be remembered.\n"
                    "Please choose or rename the folder that contains FS9.EXE.",
                    "Warning");
    return;
  }
  m_context.m_strIniFile = m_context.m_strAppDir + "\\" + kSettingsFileName;
  platform::WriteProfileString(kSettingsSection, kSettingsFsPathKey, *folder, m_context.m_strIniFile);
  m_context.m_strFsPath = *folder;
  RefreshControls();
  EnableApplyCheckbox(true);
  if (!CheckSceneryConfig(m_context, *this)) return;
  SyncApplyCheckbox(m_context, *this);
  if (LocateProduct(m_context, *this) == 0) SyncApplyCheckbox(m_context, *this);
}

void CPatchDlg::ChangeProductPath() { ::ChangeProductPath(m_context, *this); }

void CPatchDlg::HandleSysCommand(unsigned id, intptr_t position) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
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
