#pragma once
// CDialog: a modal dialog built from a template, with a static event table, data exchange between
// members and controls, and the window services the program uses (message box, folder picker,
// timer pause, busy cursor). Names avoid the Windows API's A/W macros (MessageBox, SetWindowText ...)
// so that a backend file that includes the system headers sees the same declarations.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/framework/dialog_backend.h"
#include "ui/framework/events.h"

class CDialog;

// A control object bound to one control of a dialog at its first data exchange.
class CControl {
public:
  // Enables or disables the control; nothing when not attached.
  void Enable(bool enable);

protected:
  DialogWindow* window_ = nullptr;
  int id_ = kNoControlId;
  friend class DataExchange;
  friend class CDialog;
};

class CButton : public CControl {
public:
  void SetCheck(int state);
};

// One pass of data exchange: either members into controls (saving false) or back (saving true).
class DataExchange {
public:
  // `attached` (optional) collects the control objects attached by this pass.
  DataExchange(DialogWindow& window, bool saving, std::vector<CControl*>* attached = nullptr)
      : window_(window), saving_(saving), attached_(attached) {}

  // Attaches `control` to control `id` (first time only; later passes leave it as it is).
  void Control(int id, CControl& control);
  // Whole text of the control.
  void Text(int id, std::string& value);
  // Check state as an integer. Into the control, a value outside 0..2 becomes 0 (member too).
  void Check(int id, int32_t& value);

private:
  DialogWindow& window_;
  bool saving_;
  std::vector<CControl*>* attached_;
};

class CDialog : public CCmdTarget, public DialogEventSink {
public:
  // `dialogTemplate` must outlive the dialog; `parent` nullptr: owned by the application's main
  // window when it is open (and is not this dialog).
  explicit CDialog(const DialogTemplate& dialogTemplate, CDialog* parent = nullptr);
  ~CDialog() override;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog on the active backend; returns the EndDialog result (kIdOk, kIdCancel), -1
  // when the window could not be created.
  virtual int DoModal();
  // The open window, or nullptr outside DoModal.
  DialogWindow* GetWindow() const { return window_; }

  // Runs DoDataExchange: save true copies controls into members, false members into controls.
  // False when the window is not open.
  bool UpdateData(bool save);
  void EndDialog(int result);

  // Window services; each is harmless (does nothing, or answers "cancelled" / kMessageBoxAnswerOk
  // / -1) when the window is not open.
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type);
  std::optional<std::string> PickFolder(const std::string& title);
  int PauseFor(unsigned timerId, unsigned milliseconds);
  void BeginWaitCursor();
  void EndWaitCursor();

  // DialogEventSink. InitializeDialog: the framework's dialog initialisation (controls attached,
  // members copied into them once); returns true.
  void OnWindowCreated(DialogWindow& window) override;
  bool InitializeDialog() override;
  // The class's event table first; then the defaults: command 1 → OnOK, command 2 → OnCancel,
  // other commands offered to the application; everything else not handled.
  EventResult OnEvent(const Event& event) override;
  void OnWindowDestroyed() override;

protected:
  // Member ↔ control binding; the base binds nothing.
  virtual void DoDataExchange(DataExchange& exchange);
  // Reads the controls, then ends with kIdOk.
  virtual void OnOK();
  // Ends with kIdCancel without reading the controls.
  virtual void OnCancel();

private:
  const DialogTemplate& template_;
  CDialog* parent_;
  DialogWindow* window_ = nullptr;
  std::vector<CControl*> attached_;  // detached when the window goes away
};
