#pragma once
// The backend interface: what the framework needs from a window system. One backend per host kind
// (real windows, scripted headless); the program picks one at run time with ScopedDialogBackend.
// Nothing here depends on a particular window system.
#include <cstdint>
#include <optional>
#include <string>

#include "ui/framework/dialog_template.h"
#include "ui/framework/events.h"

// Message box types and answers (the values of the Windows constants).
inline constexpr unsigned kMessageBoxOk = 0x0;
inline constexpr unsigned kMessageBoxIconStop = 0x10;
inline constexpr int kMessageBoxAnswerOk = 1;

struct Size {
  int width = 0, height = 0;
};
struct Point {
  int x = 0, y = 0;
};
// Where a minimised window draws its icon, from the client size and the system's icon size.
using IconPlacement = Point (*)(Size client, Size icon);

// One open dialog window as its backend shows it. Controls are addressed by id; an id the window
// does not have is ignored by setters and reads as "" / 0 / false. Valid from
// DialogEventSink::OnWindowCreated until OnWindowDestroyed.
class DialogWindow {
public:
  virtual ~DialogWindow() = default;

  virtual std::string GetControlText(int id) const = 0;
  // Sets the text; never produces an event.
  virtual void SetControlText(int id, const std::string& text) = 0;
  // Check state of a checkbox: 0 clear, 1 ticked, 2 indeterminate.
  virtual int GetCheck(int id) const = 0;
  // Sets the check state (0..2); never produces a click.
  virtual void SetCheck(int id, int state) = 0;
  virtual bool IsControlEnabled(int id) const = 0;
  // Enables or disables the control; its text and check state stay as they are.
  virtual void EnableControl(int id, bool enable) = 0;

  // Ends the modal run: RunModal returns `result` once the current event has been handled.
  virtual void EndDialog(int result) = 0;

  // Modal message box owned by this window (type: kMessageBox* flags); returns the answer
  // (kMessageBoxAnswerOk for an OK box) when the user dismisses it. Ends any mouse capture.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned type) = 0;
  // Folder picker owned by this window: no root folder, `title` shown, no options. The chosen
  // folder's path exactly as the system gives it, or nullopt when cancelled (or when the choice
  // has no file-system path).
  virtual std::optional<std::string> BrowseForFolder(const std::string& title) = 0;
  // Services the window for about `milliseconds` with a timer `timerId` on this window, handing
  // every queued message on (clicks and keys included). 0: a timer message ended the wait (any
  // timer); 1: a destroy or quit message ended it (a quit is posted again, exit code 0, before
  // returning); -1: no timer could be started (no wait at all).
  virtual int PumpMessagesFor(unsigned timerId, unsigned milliseconds) = 0;
  // Mouse capture by this window plus the system wait cursor; EndBusy releases the capture.
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;

  // Appends a separator and then a text item with `commandId` to the window's system menu; does
  // nothing when the window has no system menu.
  virtual void AppendSystemMenuItem(unsigned commandId, const std::string& text) = 0;
  // Sets the window's large (big = true) or small icon.
  virtual void SetIcon(IconHandle icon, bool big) = 0;

  // The platform's own handling of a system command (move, close, keyboard menu ...). Close
  // (kSysCommandClose) ends up as command kIdCancel routed to the dialog.
  virtual void DefaultSysCommand(unsigned id, intptr_t position) = 0;
  virtual bool IsMinimized() const = 0;
  // The default painting of the dialog (used while it is not minimised).
  virtual void DefaultPaint() = 0;
  // Painting while minimised: begin painting, erase the icon background, draw `icon` where
  // `place` puts it for the client size and the system's large icon size, end painting.
  virtual void PaintIcon(IconHandle icon, IconPlacement place) = 0;
};

// What a backend reports to the dialog object it runs (CDialog implements this).
class DialogEventSink {
public:
  virtual ~DialogEventSink() = default;
  // The window and its controls exist (controls hold their template texts and flags).
  virtual void OnWindowCreated(DialogWindow& window) = 0;
  // Dialog initialisation, once, before the window is first shown. True: the backend puts the
  // focus on the first visible, enabled tab stop.
  virtual bool InitializeDialog() = 0;
  // Every event of the window, in arrival order. Not handled: the backend's default applies.
  // Escape arrives as Command kIdCancel; Enter as a click of the default button when that button
  // is enabled (nothing otherwise); a click on an automatic checkbox after its tick has toggled.
  virtual EventResult OnEvent(const Event& event) = 0;
  // The window is going away; the DialogWindow must not be used afterwards.
  virtual void OnWindowDestroyed() = 0;
};

class DialogBackend {
public:
  virtual ~DialogBackend() = default;
  // Application set-up before the first window (control hosting, control styles). May do nothing.
  virtual void InitializeApplication() {}
  // Runs `dialogTemplate` modally: creates the window (centred over `owner`, or in the work area
  // when there is none) with its controls, calls sink.OnWindowCreated and sink.InitializeDialog,
  // then delivers events to sink.OnEvent until EndDialog; `owner` is disabled meanwhile. Calls
  // sink.OnWindowDestroyed, then returns EndDialog's result; -1 when the window could not be made.
  virtual int RunModal(const DialogTemplate& dialogTemplate, DialogEventSink& sink,
                       DialogWindow* owner) = 0;
  // Icon resource `id` of the program (shared, never released); nullptr when missing.
  virtual IconHandle LoadIconResource(int id) = 0;
  // String resource `id`; "" when missing.
  virtual std::string LoadStringResource(int id) = 0;
};

// Makes `backend` (which the caller keeps alive) the one the framework uses for the owner's
// lifetime, then puts the previous one back.
class ScopedDialogBackend {
public:
  explicit ScopedDialogBackend(DialogBackend& backend);
  ~ScopedDialogBackend();
  ScopedDialogBackend(const ScopedDialogBackend&) = delete;
  ScopedDialogBackend& operator=(const ScopedDialogBackend&) = delete;

private:
  DialogBackend* previous_;
};
// The backend in use. Using the framework with none set is a programming error: it aborts with a
// message on stderr.
DialogBackend& ActiveDialogBackend();
