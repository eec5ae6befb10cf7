#pragma once
// CWinApp: the application object. The entry point constructs one, picks a backend and calls Run.
#include "ui/framework/events.h"

class CDialog;

class CWinApp : public CCmdTarget {
public:
  CWinApp();  // becomes the current application (one at a time)
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The application object alive now, or nullptr.
  static CWinApp* Current();

  // Calls StartApplication; when that returns true, there would be an application message loop,
  // which this framework does not have: Run returns at once either way. Returns 0.
  int Run();

  // Instance start-up. False: the program ends when it returns.
  virtual bool StartApplication() { return false; }

  // Platform set-up switches (control hosting in dialogs, three-dimensional control style); they
  // ask the active backend to prepare the application.
  void EnableControlContainer();
  void Enable3dControls();

  // The framework's help handler: this program has no help content, so it does nothing.
  void OnHelp() {}

  // The application's main window while one is running, or nullptr.
  CDialog* m_pMainWnd = nullptr;
};
