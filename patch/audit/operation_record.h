#pragma once
// What one install or removal does (or would do): every change made through the file services and
// every message shown, as lines in order; the change log OVPATCH.LOG made of them. The plan
// (patch/audit/operation_plan.h) uses the same record.
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/engine/operation_outcome.h"
#include "patch/patch_view.h"
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

// While it lives, every change made through Disk() (a journal of `disk`) and every message shown
// through View() is handed to `onLine`, each as it is stated: a copy's line starts with the status
// text shown before it ("Installing file 2: copied A over B"). `inner` receives every view call
// when given; without it messages are only recorded and the window operations do nothing.
class OperationRecorder {
public:
  OperationRecorder(PatchView* inner, platform::Disk& disk, platform::ChangeTense tense,
                    std::function<void(const RecordLine&)> onLine);
  ~OperationRecorder();
  OperationRecorder(const OperationRecorder&) = delete;
  OperationRecorder& operator=(const OperationRecorder&) = delete;

  PatchView& View();
  platform::Disk& Disk() { return journal_; }

private:
  class RecordingView;
  void Emit(RecordLine line);
  void Changed(const platform::DiskChange& change);

  platform::ChangeTense tense_;
  std::function<void(const RecordLine&)> onLine_;
  std::unique_ptr<RecordingView> view_;
  platform::JournaledDisk journal_;
};

// OVPATCH.LOG in the patch folder: a record of every install and removal, for the user and
// support. Removal never needs it.
inline constexpr const char* kChangeLogFileName = "OVPATCH.LOG";

// For its lifetime, one operation ("install", "removal") is logged: a start line when it is made,
// one line per change made through Disk(), per message shown through View() and per record
// `outcome` enters that was not done, and an end line with the outcome's count of failures when it
// ends. Every line starts with the local date and time. When the log cannot be opened the
// operation runs unlogged; when a line cannot be written, the rest of it does. On a disk that does
// not change the host's files nothing is logged.
class ChangeLog {
public:
  ChangeLog(PatchContext& context, PatchView& view, platform::Disk& disk,
            const std::string& operation, OperationOutcome& outcome);
  ~ChangeLog();
  ChangeLog(const ChangeLog&) = delete;
  ChangeLog& operator=(const ChangeLog&) = delete;

  // The view to run the operation with: the dialog's, with its messages logged.
  PatchView& View() { return recorder_->View(); }
  // The disk to run the operation on: `disk`, with its changes logged.
  platform::Disk& Disk() { return recorder_->Disk(); }

private:
  void Write(const std::string& text);

  std::string operation_;
  OperationOutcome& outcome_;
  platform::UniqueStream file_;
  std::optional<OperationRecorder> recorder_;
};
