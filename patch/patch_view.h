#pragma once
// What the patch logic needs from its window. The main dialog implements it; the logic reaches the
// user only through these operations.
#include <optional>
#include <string>

class PatchView {
public:
  virtual ~PatchView() = default;

  // Modal message box with the stop icon and one OK button; returns when dismissed.
  virtual void ShowStopMessage(const std::string& text, const std::string& caption) = 0;
  // Copies the bound PatchContext members into their controls (a tick outside 0..2 becomes 0).
  virtual void RefreshControls() = 0;
  // Copies the controls back into their PatchContext members.
  virtual void ReadControls() = 0;
  // Enables or disables the "Apply Patch" checkbox without changing its tick.
  virtual void EnableApplyCheckbox(bool enable) = 0;
  // Folder picker with the given title: the chosen folder as the picker gives it, or nullopt when
  // the user cancelled.
  virtual std::optional<std::string> BrowseForFolder(const std::string& title) = 0;
  // Keeps the window serviced for about `milliseconds`: 0 when a timer ended the wait, 1 when a
  // quit or destroy message did, -1 when no timer could be started.
  virtual int PumpMessagesFor(unsigned timerId, unsigned milliseconds) = 0;
  // Mouse capture and wait cursor around one install or removal.
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

// A view without a window, for runs that only record what they would show (the plan): messages
// go nowhere and the window calls do nothing.
class WindowlessView : public PatchView {
public:
  void ShowStopMessage(const std::string&, const std::string&) override {}
  void RefreshControls() override {}
  void ReadControls() override {}
  void EnableApplyCheckbox(bool) override {}
  std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
  int PumpMessagesFor(unsigned, unsigned) override { return 0; }
  void BeginBusy() override {}
  void EndBusy() override {}
};
