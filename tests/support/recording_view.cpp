#include "support/recording_view.h"

namespace testsupport {

void RecordingView::ShowStopMessage(const std::string& text, const std::string& caption) {
  messages.push_back({text, caption});
}

void RecordingView::RefreshControls() {
  int tick = context_.m_bApplyPatch;
  if (tick < 0 || tick > 2) {
    context_.m_bApplyPatch = 0;
    tick = 0;
  }
  controls = {context_.m_strFsPath, context_.m_strProductTitle, context_.m_strStatus,
              context_.m_strProductPath, tick};
  checkboxTick = tick;
  ++refreshCount;
  statusHistory.push_back(context_.m_strStatus);
}

void RecordingView::ReadControls() {
  context_.m_strFsPath = controls.fsPath;
  context_.m_strProductTitle = controls.productTitle;
  context_.m_bApplyPatch = checkboxTick;
  context_.m_strStatus = controls.status;
  context_.m_strProductPath = controls.productPath;
}

std::optional<std::string> RecordingView::BrowseForFolder(const std::string& title) {
  pickerTitles.push_back(title);
  if (folderAnswers.empty()) return std::nullopt;
  auto answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

int RecordingView::PumpMessagesFor(unsigned /*timerId*/, unsigned milliseconds) {
  pauses.push_back(milliseconds);
  return 0;
}

}  // namespace testsupport
