#include "patch/audit/operation_record.h"

#include <utility>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/strings.h"

std::string MessageLines(const std::string& caption, const std::string& text) {
  std::string lines = caption + ": ";
  for (char c : text) {
    lines += c;
    if (c == '\n') lines += "  ";
  }
  return lines;
}

class OperationRecorder::RecordingView : public PatchView {
public:
  RecordingView(OperationRecorder& recorder, PatchView* inner)
      : recorder_(recorder), inner_(inner) {}

  void ShowStopMessage(const std::string& text, const std::string& caption) override {
    recorder_.Emit({MessageLines(caption, text), true, true, std::nullopt});
    if (inner_) inner_->ShowStopMessage(text, caption);
  }
  void RefreshControls() override {
    if (inner_) inner_->RefreshControls();
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
};

OperationRecorder::OperationRecorder(PatchView* inner, platform::Disk& disk,
                                     platform::ChangeTense tense,
                                     std::function<void(const RecordLine&)> onLine)
    : tense_(tense),
      onLine_(std::move(onLine)),
      view_(std::make_unique<RecordingView>(*this, inner)),
      journal_(disk, [this](const platform::DiskChange& change) { Changed(change); }) {}

OperationRecorder::~OperationRecorder() = default;

PatchView& OperationRecorder::View() { return *view_; }

void OperationRecorder::Emit(RecordLine line) { onLine_(line); }

void OperationRecorder::Changed(const platform::DiskChange& change) {
  Emit({platform::DescribeChange(change, tense_), change.failed, false, change});
}

ChangeLog::ChangeLog(PatchContext& context, PatchView& view, platform::Disk& disk,
                     const std::string& operation, OperationOutcome& outcome)
    : operation_(operation), outcome_(outcome) {
  // The log itself is no change of the patch's. Without the program's folder there is no patch
  // folder to log into.
  if (!context.m_strAppDir.empty() && disk.ChangesHostFiles())
    file_.reset(platform::OpenStream(platform::JoinPath(context.m_strAppDir, kChangeLogFileName), "a"));
  Write(operation + " started: FS2004 folder " + context.m_strFsPath + ", product folder " +
        context.m_strProductPath + ", patch folder " + context.m_strAppDir);
  recorder_.emplace(&view, disk, platform::ChangeTense::Done, [this](const RecordLine& line) {
    Write((line.message ? "message " : "") + line.text);
  });
  outcome_.OnEnter([this](const RecordOutcome& entry) {
    if (entry.result != RecordResult::Done) Write(DescribeRecordOutcome(entry, false));
  });
}

ChangeLog::~ChangeLog() {
  outcome_.OnEnter(nullptr);
  recorder_.reset();
  const int failures = outcome_.Failures();
  Write(operation_ + " finished: " + std::to_string(failures) +
        (failures == 1 ? " failure" : " failures"));
}

void ChangeLog::Write(const std::string& text) {
  if (!file_) return;
  const std::string line = platform::LocalTimeText("%Y-%m-%d %H:%M:%S") + " " + text + "\n";
  // Each line reaches the disk at once: the log must tell how far an interrupted run got. After a
  // line that could not be written the log stops rather than go on past a gap: a log without its
  // end line does not pass for a whole one. The operation itself goes on either way.
  const bool written = std::fputs(line.c_str(), file_.get()) >= 0;
  if (std::fflush(file_.get()) != 0 || !written) file_.reset();
}
