#pragma once
// What one install or removal does (or would do): every change made through the file services and
// every message shown, as lines in order. Shared by the change log and the plan.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"
#include "platform/file_journal.h"

struct RecordLine {
  std::string text;                               // a message as MessageLines gives it
  bool failure = false;                           // a message shown or a change refused
  bool message = false;
  std::optional<platform::FileChange> change;    // the change the line tells of
};

// While it lives, every change made through platform/files.h (journaled on top of the services
// active when it was made) and every message shown through View() is handed to `onLine`. A copy's
// line starts with the status text shown before it ("Installing file 2: copied A over B").
// `inner` receives every view call when given; without it messages are only recorded and the
// window operations do nothing.
class OperationRecorder {
public:
  OperationRecorder(PatchContext& context, PatchView* inner, platform::ChangeTense tense,
                    std::function<void(const RecordLine&)> onLine);
  ~OperationRecorder();
  OperationRecorder(const OperationRecorder&) = delete;
  OperationRecorder& operator=(const OperationRecorder&) = delete;

  PatchView& View();
  int Failures() const { return failures_; }

private:
  class RecordingView;
  void Emit(RecordLine line);
  void Changed(const platform::FileChange& change);

  PatchContext& context_;
  platform::ChangeTense tense_;
  std::function<void(const RecordLine&)> onLine_;
  std::string unusedStatus_;  // status text shown since the last change
  int failures_ = 0;
  std::unique_ptr<RecordingView> view_;
  platform::JournaledFileServices journal_;
  platform::ScopedFileServices scope_;
};
