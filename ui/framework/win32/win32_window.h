#pragma once
// One open dialog window on the Win32 dialog manager: the controls through their handles, the
// window services (message box, folder picker, pause, busy cursor, system menu, icons, painting)
// and the dialog procedure that hands the window's events to the dialog object.
#include <windows.h>

#include "ui/framework/dialog_backend.h"

class Win32Window : public DialogWindow {
public:
  Win32Window(const DialogTemplate& dialogTemplate, DialogEventSink& sink)
      : template_(dialogTemplate), sink_(sink) {}

  HWND hwnd() const { return hwnd_; }

  // The dialog procedure of every dialog this backend runs; the Win32Window comes with
  // WM_INITDIALOG's parameter.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  std::string GetControlText(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  int GetCheck(int id) const override;
  void SetCheck(int id, int state) override;
  bool IsControlEnabled(int id) const override;
  void EnableControl(int id, bool enable) override;
  void EndDialog(int result) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  int PumpMessagesFor(unsigned timerId, unsigned milliseconds) override;
  void BeginBusy() override;
  void EndBusy() override;
  void AppendSystemMenuItem(unsigned commandId, const std::string& text) override;
  void SetIcon(IconHandle icon, bool big) override;
  void DefaultSysCommand(unsigned id, intptr_t position) override;
  bool IsMinimized() const override;
  void DefaultPaint() override;
  void PaintIcon(IconHandle icon, IconPlacement place) override;

private:
  INT_PTR OnInitDialog(HWND hwnd);
  // Hands one event to the dialog object; true when it handled it (result in `value`).
  bool Deliver(const Event& event, intptr_t* value = nullptr);
  // Centres a template placed at 0, 0 over its owner, or in the work area when it has none.
  void Centre() const;

  const DialogTemplate& template_;
  DialogEventSink& sink_;
  HWND hwnd_ = nullptr;
};
