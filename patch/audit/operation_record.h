#pragma once
// What one install or removal does (or would do): every change made through its disk and every
// message its outcome tells of, as lines in order; the change log OVPATCH.LOG made of them. The
// plan (patch/audit/operation_plan.h) uses the same record.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "platform/file_layers/journaled_disk.h"
#include "platform/stream_io.h"

// A message box as plain text that a script can read back: "CAPTION: text"; each line break inside
// the text starts a new line indented by two spaces. No line break at the end.
std::string MessageLines(const std::string& caption, const std::string& text);

struct RecordLine {
  std::string text;      // for a message, as MessageLines gives it
  bool failure = false;  // a message shown or a change refused
  bool message = false;
  std::optional<platform::DiskChange> change;  // the change the line tells of
};

// While it lives, every change made through Disk() (a journal of `disk`), every message `outcome`
// is told and every record it enters are handed on, each as it is stated: changes and messages to
// `onLine` (a copy's line starts with the status text shown before it: "Installing file 2: copied
// A over B"), records to `onRecord`.
class OperationRecorder {
public:
  OperationRecorder(platform::Disk& disk, platform::ChangeTense tense, OperationOutcome& outcome,
                    std::function<void(const RecordLine&)> onLine,
                    std::function<void(const RecordOutcome&)> onRecord);
  ~OperationRecorder();
  OperationRecorder(const OperationRecorder&) = delete;
  OperationRecorder& operator=(const OperationRecorder&) = delete;

  platform::Disk& Disk() { return journal_; }

private:
  platform::ChangeTense tense_;
  OperationOutcome& outcome_;
  std::function<void(const RecordLine&)> onLine_;
  platform::JournaledDisk journal_;
};

// OVPATCH.LOG in the patch folder: a record of every install and removal, for the user and
// support. Removal never needs it.
inline constexpr const char* kChangeLogFileName = "OVPATCH.LOG";

// For its lifetime, one operation ("install", "removal") is logged: a start line when it is made,
// one line per change made through Disk(), per message and per record not done that `outcome` is
// told of, and an end line with the outcome's count of failures when it ends. Every line starts with the local date and time. When the log cannot be opened the
// operation runs unlogged; when a line cannot be written, the rest of it does. On a disk that does
// not change the host's files nothing is logged.
class ChangeLog {
public:
  ChangeLog(PatchContext& context, platform::Disk& disk, const std::string& operation,
            OperationOutcome& outcome);
  ~ChangeLog();
  ChangeLog(const ChangeLog&) = delete;
  ChangeLog& operator=(const ChangeLog&) = delete;

  // The disk to run the operation on: `disk`, with its changes logged.
  platform::Disk& Disk() { return recorder_->Disk(); }

private:
  void Write(const std::string& text);

  std::string operation_;
  OperationOutcome& outcome_;
  platform::UniqueStream file_;
  std::optional<OperationRecorder> recorder_;
};
