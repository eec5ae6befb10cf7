#pragma once
// The backend for real windows: dialogs from the program's dialog resources (or, for a template
// the program has no resource for, from the template data), driven by the Win32 dialog manager.
#include "ui/framework/dialog_backend.h"

class Win32Backend : public DialogBackend {
public:
  // Common controls and COM (the folder picker needs it) for this thread.
  void InitializeApplication() override;
  int RunModal(const DialogTemplate& dialogTemplate, DialogEventSink& sink,
               DialogWindow* owner) override;
  IconHandle LoadIconResource(int id) override;
  std::string LoadStringResource(int id) override;

private:
  bool initialized_ = false;
};
