#pragma once
// A PatchView for tests: records what the logic shows and answers folder pickers from a script.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

namespace testsupport {

struct ShownMessage {
  std::string text;
  std::string caption;
  bool operator==(const ShownMessage&) const = default;
};

// What the controls held after a RefreshControls.
struct ControlSnapshot {
  std::string fsPath, productTitle, status, productPath;
  int applyPatch = 0;
};

class RecordingView : public PatchView {
public:
  explicit RecordingView(PatchContext& context) : context_(context) {}

  void ShowStopMessage(const std::string& text, const std::string& caption) override;
  void RefreshControls() override;
  void ReadControls() override;
  void EnableApplyCheckbox(bool enable) override { checkboxEnabled = enable; }
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  int PumpMessagesFor(unsigned timerId, unsigned milliseconds) override;
  void BeginBusy() override {
    ++busyDepth;
    ++busyCount;
  }
  void EndBusy() override { --busyDepth; }

  // Script: each BrowseForFolder takes the next answer (nullopt = cancel); none left = cancel.
  std::deque<std::optional<std::string>> folderAnswers;
  std::vector<std::string> pickerTitles;

  std::vector<ShownMessage> messages;
  bool checkboxEnabled = true;
  int checkboxTick = 0;      // the checkbox as the user left it; ReadControls copies it
  ControlSnapshot controls;  // after the last RefreshControls
  int refreshCount = 0;
  std::vector<std::string> statusHistory;  // m_strStatus at every RefreshControls
  std::vector<unsigned> pauses;            // milliseconds of every PumpMessagesFor
  int busyDepth = 0;
  int busyCount = 0;

private:
  PatchContext& context_;
};

}  // namespace testsupport
