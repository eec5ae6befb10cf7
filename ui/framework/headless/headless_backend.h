#pragma once
// The headless backend: a real backend without a screen. Every control keeps its text, tick and
// enabled state from the template; a user's actions (clicks, keys, system commands) come from a
// script and go through the same routing as on screen; message boxes are recorded and answered
// OK, folder pickers answered from a queue, and pauses return at once.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/framework/dialog_backend.h"

class HeadlessBackend;

struct HeadlessMessageBox {
  std::string text;
  std::string caption;
  unsigned type = 0;
  bool operator==(const HeadlessMessageBox&) const = default;
};

class HeadlessWindow : public DialogWindow {
public:
  HeadlessWindow(HeadlessBackend& backend, const DialogTemplate& dialogTemplate,
                 DialogEventSink& sink, HeadlessWindow* owner);

  // --- What a user does. Each returns false when the action could not reach a control (missing,
  // hidden or disabled control, or this window disabled by a modal child) and then does nothing.
  // A click on a push button or checkbox: an automatic checkbox toggles first, then the click
  // notification is routed.
  bool Click(int id);
  // Escape: command kIdCancel.
  void PressEscape();
  // Enter: a click of the default button when it is visible and enabled; otherwise nothing.
  bool PressEnter();
  // Space on the focused control: a click when it is a button or checkbox.
  bool PressSpace();
  // Tab: focus to the next visible, enabled tab stop in template order (wrapping).
  void PressTab();
  // A system command as the system menu or the title bar sends it.
  void SendSysCommand(unsigned id, intptr_t position = 0);
  // The title bar's Close button.
  void PressClose() { SendSysCommand(kSysCommandClose); }
  // A paint request.
  void RequestPaint();
  // A drag-icon query; the icon the dialog answered, or nullptr when it left it to the default.
  IconHandle QueryDragIcon();

  // --- What a user sees.
  const DialogTemplate& Template() const { return template_; }
  int FocusedControl() const { return focus_; }
  bool IsEnabled() const { return enabled_; }
  bool IsEnded() const { return ended_; }
  int Result() const { return result_; }
  const std::vector<std::string>& SystemMenu() const { return systemMenu_; }  // "" = separator
  IconHandle BigIcon() const { return bigIcon_; }
  IconHandle SmallIcon() const { return smallIcon_; }
  bool HasCapture() const { return capture_; }
  int BusyCount() const { return busyCount_; }  // BeginBusy calls so far
  int BusyDepth() const { return busyDepth_; }  // BeginBusy calls not yet ended
  // Keyboard focus to a control as a mouse click on it would; false when it cannot take focus.
  bool FocusControl(int id);
  // Painting while minimised: the window's state and what was drawn.
  void SetMinimized(bool minimized) { minimized_ = minimized; }
  void SetClientSize(Size client) { client_ = client; }
  std::optional<Point> PaintedIconAt() const { return paintedIconAt_; }
  int DefaultPaintCount() const { return defaultPaints_; }

  // --- DialogWindow.
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
  bool IsMinimized() const override { return minimized_; }
  void DefaultPaint() override { ++defaultPaints_; }
  void PaintIcon(IconHandle icon, IconPlacement place) override;

  // Used by the backend.
  DialogEventSink& Sink() { return sink_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  void FocusFirstTabStop();

private:
  struct ControlState {
    std::string text;
    int check = 0;
    bool enabled = true;
    bool visible = true;
  };
  ControlState* Find(int id);
  const ControlState* Find(int id) const;
  EventResult Dispatch(const Event& event);
  bool CanFocus(const ControlTemplate& control) const;
  bool Clickable(int id) const;
  bool Activate(int id);

  HeadlessBackend& backend_;
  const DialogTemplate& template_;
  DialogEventSink& sink_;
  HeadlessWindow* owner_;
  std::map<int, ControlState> controls_;
  int focus_ = kNoControlId;
  bool enabled_ = true;
  bool ended_ = false;
  int result_ = 0;
  std::vector<std::string> systemMenu_;
  IconHandle bigIcon_ = nullptr;
  IconHandle smallIcon_ = nullptr;
  bool capture_ = false;
  int busyCount_ = 0;
  int busyDepth_ = 0;
  bool minimized_ = false;
  Size client_{};
  std::optional<Point> paintedIconAt_;
  int defaultPaints_ = 0;
};

class HeadlessBackend : public DialogBackend {
public:
  // One scripted user action, run on the topmost open window.
  using Step = std::function<void(HeadlessWindow& window)>;

  // --- The script.
  // Steps run in order while a dialog is open, each on the topmost window. When none is left and
  // a dialog is still open, Escape is pressed; a dialog that stays open even then is ended with
  // kIdCancel, so a run always finishes.
  std::deque<Step> steps;
  // Each pause takes the next of these (if any) and runs it on the pausing window before it
  // returns: input that arrives while an operation is waiting.
  std::deque<Step> pauseSteps;
  // Answers of the folder pickers, in order; nullopt or an empty queue means "cancelled".
  std::deque<std::optional<std::string>> folderAnswers;
  // What every pause returns.
  int pauseResult = 0;
  // String resources (LoadStringResource); icons are made up per id.
  std::map<int, std::string> strings;
  // Called for every message box as it is shown (before it is answered OK).
  std::function<void(const HeadlessMessageBox&)> onMessageBox;
  // Called when a control's text changes to a different text.
  std::function<void(int id, const std::string& text)> onControlTextChanged;

  // --- What happened.
  std::vector<HeadlessMessageBox> messageBoxes;
  std::vector<std::string> pickerTitles;
  std::vector<unsigned> pauses;  // milliseconds of every pause
  std::vector<int> modalTemplates;  // template id of every RunModal, in order

  // Runs queued steps on the topmost window until none is left or the window has ended.
  void RunSteps(HeadlessWindow& window);

  // --- DialogBackend.
  int RunModal(const DialogTemplate& dialogTemplate, DialogEventSink& sink,
               DialogWindow* owner) override;
  IconHandle LoadIconResource(int id) override;
  std::string LoadStringResource(int id) override;

private:
  std::vector<HeadlessWindow*> open_;
  std::map<int, std::unique_ptr<int>> icons_;
};
