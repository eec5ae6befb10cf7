#pragma once
// The outcome of one install or removal: every step enters one result per list record it walks,
// and every message it shows, with what the message stands for. The status line, the exit status,
// the change log and the plan all read this one record, so they cannot disagree (verify checks the
// disk against the install record instead, patch/audit/patch_verify.h).
#include <functional>
#include <string>
#include <vector>

#include "patch/patch_view.h"

enum class RecordResult {
  Done,         // the change was made
  NothingToDo,  // the record matches nothing to change (already renamed, not there, equal)
  Skipped,      // left out on purpose, with why
  Failed,       // the change was tried and did not happen, with why
};

struct RecordOutcome {
  std::string step;      // "RenameForward"
  std::string listFile;  // "REN.OV"
  int lineNumber = 0;
  RecordResult result = RecordResult::Done;
  std::string subject;  // the file or folder the record is about
  std::string why;      // Skipped and Failed: the reason, in words
  bool told = false;    // the user was shown a message about it
};

// What a message shown during an operation stands for.
enum class MessageRole {
  TellsOfItsRecords,  // it names records entered as failed or told, which count for it
  FailureOfItsOwn,    // no record stands for what it tells: it is one failure
};

struct ToldMessage {
  std::string caption;  // "Warning"
  std::string text;
  MessageRole role = MessageRole::FailureOfItsOwn;
};

class OperationOutcome {
public:
  void Enter(RecordOutcome entry);
  // Shows the message with `view` and enters it.
  void Tell(PatchView& view, const std::string& text, const std::string& caption,
            MessageRole role);

  // Failed records, skipped records the user was told of, and messages that are failures of their
  // own.
  int Failures() const;
  // True when the operation did not do all it meant to: a failure, or any message shown.
  bool Failed() const { return Failures() > 0; }
  const std::vector<RecordOutcome>& Entries() const { return entries_; }
  const std::vector<ToldMessage>& Messages() const { return messages_; }

  // Called with every entry and every message as it is made, the message before it is shown (the
  // change log, the plan).
  void OnEnter(std::function<void(const RecordOutcome&)> listener) {
    listener_ = std::move(listener);
  }
  void OnTell(std::function<void(const ToldMessage&)> listener) {
    messageListener_ = std::move(listener);
  }

private:
  std::vector<RecordOutcome> entries_;
  std::vector<ToldMessage> messages_;
  std::function<void(const RecordOutcome&)> listener_;
  std::function<void(const ToldMessage&)> messageListener_;
};

// "INST.OV line 2: skipped: neither ...\A.BGL nor its .XXX form exists"; `planned` uses the words
// of a plan ("will be skipped").
std::string DescribeRecordOutcome(const RecordOutcome& entry, bool planned);

// A view for the calls an operation shares with the dialog's other work (the scenery library, the
// settings): each message they show through it is entered in `outcome` as a failure of its own.
class FailureMessagesView : public PatchView {
public:
  FailureMessagesView(OperationOutcome& outcome, PatchView& inner)
      : outcome_(outcome), inner_(inner) {}

  void ShowStopMessage(const std::string& text, const std::string& caption) override {
    outcome_.Tell(inner_, text, caption, MessageRole::FailureOfItsOwn);
  }
  void RefreshControls() override { inner_.RefreshControls(); }
  void ReadControls() override { inner_.ReadControls(); }
  void EnableApplyCheckbox(bool enable) override { inner_.EnableApplyCheckbox(enable); }
  std::optional<std::string> BrowseForFolder(const std::string& title) override {
    return inner_.BrowseForFolder(title);
  }
  int PumpMessagesFor(unsigned timerId, unsigned milliseconds) override {
    return inner_.PumpMessagesFor(timerId, milliseconds);
  }
  void BeginBusy() override { inner_.BeginBusy(); }
  void EndBusy() override { inner_.EndBusy(); }

private:
  OperationOutcome& outcome_;
  PatchView& inner_;
};
