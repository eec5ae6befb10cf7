#pragma once
// The outcome of one install or removal: every step enters one result per list record it walks,
// and every message shown is counted. The status line, the exit status, the change log and the
// plan all read this one record, so they cannot disagree (verify checks the disk against the
// install record instead, patch/audit/patch_verify.h).
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

class OperationOutcome {
public:
  // Enters one record's result; it claims `messages` of the messages shown so far, which then do
  // not count a second time.
  void Enter(RecordOutcome entry, int messages = 0);
  // Counts a message shown during the operation; it is a failure of its own until claimed.
  void NoteMessage() { ++messagesShown_; }
  // Claims messages already counted, for records entered before them (a step's summary warning).
  void Claim(int messages) { claimedMessages_ += messages; }
  int MessagesShown() const { return messagesShown_; }

  // Failed records, skipped records the user was told of, and messages no record claims.
  int Failures() const;
  // True when the operation did not do all it meant to: a failure, or any message shown.
  bool Failed() const { return Failures() > 0; }
  const std::vector<RecordOutcome>& Entries() const { return entries_; }

  // Called with every entry as it is made (the change log, the plan).
  void OnEnter(std::function<void(const RecordOutcome&)> listener) {
    listener_ = std::move(listener);
  }

private:
  std::vector<RecordOutcome> entries_;
  int messagesShown_ = 0;
  int claimedMessages_ = 0;
  std::function<void(const RecordOutcome&)> listener_;
};

// "INST.OV line 2: skipped: neither ...\A.BGL nor its .XXX form exists"; `planned` uses the words
// of a plan ("will be skipped").
std::string DescribeRecordOutcome(const RecordOutcome& entry, bool planned);

// A view that passes every call on to `inner` and counts each message in `outcome`.
class OutcomeView : public PatchView {
public:
  OutcomeView(OperationOutcome& outcome, PatchView& inner) : outcome_(outcome), inner_(inner) {}

  void ShowStopMessage(const std::string& text, const std::string& caption) override {
    outcome_.NoteMessage();
    inner_.ShowStopMessage(text, caption);
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
