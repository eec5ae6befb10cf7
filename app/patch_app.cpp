#include "app/patch_app.h"

#include "ui/patch_dlg.h"

CPatchApp::CPatchApp(platform::Disk& disk) : m_disk(disk) {}

CPatchApp::~CPatchApp() = default;

std::span<const EventEntry> CPatchApp::GetEventTable() const {
  static const EventEntry table[] = {OnCommand<CWinApp, &CWinApp::OnHelp>(kIdHelp)};
  return table;
}

bool CPatchApp::StartApplication() {
  EnableControlContainer();
  Enable3dControls();

  CPatchDlg dialog(nullptr, m_disk);
  m_pMainWnd = &dialog;
  dialog.DoModal();  // OK or Cancel: the program ends either way
  m_pMainWnd = nullptr;
  return false;
}
