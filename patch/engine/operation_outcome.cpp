#include "patch/engine/operation_outcome.h"

#include <utility>

void OperationOutcome::Enter(RecordOutcome entry) {
  entries_.push_back(std::move(entry));
  if (listener_) listener_(entries_.back());
}

void OperationOutcome::Tell(PatchView& view, const std::string& text, const std::string& caption,
                            MessageRole role) {
  messages_.push_back({caption, text, role});
  if (messageListener_) messageListener_(messages_.back());
  view.ShowStopMessage(text, caption);
}

int OperationOutcome::Failures() const {
  int failures = 0;
  for (const ToldMessage& message : messages_)
    if (message.role == MessageRole::FailureOfItsOwn) ++failures;
  for (const RecordOutcome& entry : entries_)
    if (entry.result == RecordResult::Failed ||
        (entry.result == RecordResult::Skipped && entry.told))
      ++failures;
  return failures;
}

std::string DescribeRecordOutcome(const RecordOutcome& entry, bool planned) {
  std::string what;
  switch (entry.result) {
    case RecordResult::Done:
      what = planned ? "will be done" : "done";
      break;
    case RecordResult::NothingToDo:
      what = "nothing to do";
      break;
    case RecordResult::Skipped:
      what = planned ? "will be skipped" : "skipped";
      break;
    case RecordResult::Failed:
      what = planned ? "will fail" : "failed";
      break;
  }
  std::string text = entry.listFile + " line " + std::to_string(entry.lineNumber) + ": " + what;
  if (!entry.subject.empty()) text += ": " + entry.subject;
  if (!entry.why.empty()) text += " (" + entry.why + ")";
  return text;
}
