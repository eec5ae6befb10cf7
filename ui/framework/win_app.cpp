#include "ui/framework/win_app.h"

#include "ui/framework/dialog_backend.h"

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() { g_currentApp = this; }

CWinApp::~CWinApp() {
  if (g_currentApp == this) g_currentApp = nullptr;
}

CWinApp* CWinApp::Current() { return g_currentApp; }

int CWinApp::Run() {
  StartApplication();
  return 0;
}

void CWinApp::EnableControlContainer() { ActiveDialogBackend().InitializeApplication(); }

void CWinApp::Enable3dControls() { ActiveDialogBackend().InitializeApplication(); }
