#include "patch/audit/operation_record.h"

#include "patch/audit/message_text.h"

class OperationRecorder::RecordingView : public PatchView {
public:
  RecordingView(OperationRecorder& recorder, PatchView* inner) : recorder_(recorder), inner_(inner) {}

  void ShowStopMessage(const std::string& text, const std::string& caption) override {
    recorder_.Emit({MessageLines(caption, text), true, true, std::nullopt});
    if (inner_) inner_->ShowStopMessage(text, caption);
  }
  void RefreshControls() override {
    if (inner_) inner_->RefreshControls();
    const std::string& status = recorder_.context_.m_strStatus;
    if (status != lastStatus_) recorder_.unusedStatus_ = lastStatus_ = status;
  }
  void ReadControls() override {
    if (inner_) inner_->ReadControls();
  }
  void EnableApplyCheckbox(bool enable) override {
    if (inner_) inner_->EnableApplyCheckbox(enable);
  }
  std::optional<std::string> BrowseForFolder(const std::string& title) override {
    return inner_ ? inner_->BrowseForFolder(title) : std::nullopt;
  }
  int PumpMessagesFor(unsigned timerId, unsigned milliseconds) override {
    return inner_ ? inner_->PumpMessagesFor(timerId, milliseconds) : 0;
  }
  void BeginBusy() override {
    if (inner_) inner_->BeginBusy();
  }
  void EndBusy() override {
    if (inner_) inner_->EndBusy();
  }

private:
  OperationRecorder& recorder_;
  PatchView* inner_;
  std::string lastStatus_;
};

OperationRecorder::OperationRecorder(PatchContext& context, PatchView* inner,
                                     platform::ChangeTense tense,
                                     std::function<void(const RecordLine&)> onLine)
    : context_(context),
      tense_(tense),
      onLine_(std::move(onLine)),
      view_(std::make_unique<RecordingView>(*this, inner)),
      journal_(platform::ActiveFileServices(),
               [this](const platform::FileChange& change) { Changed(change); }),
      scope_(journal_) {}

OperationRecorder::~OperationRecorder() = default;

PatchView& OperationRecorder::View() { return *view_; }

void OperationRecorder::Emit(RecordLine line) {
  if (line.failure) ++failures_;
  onLine_(line);
}

void OperationRecorder::Changed(const platform::FileChange& change) {
  std::string text = platform::DescribeChange(change, tense_);
  if (change.kind == platform::FileChange::Kind::Copy && !unusedStatus_.empty())
    text = unusedStatus_ + ": " + text;
  unusedStatus_.clear();
  Emit({std::move(text), change.failed, false, change});
}
