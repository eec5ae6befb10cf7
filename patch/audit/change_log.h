#pragma once
// OVPATCH.LOG in the patch folder: a record of every install and removal, for the user and support.
// Removal never needs it.
#include <cstdio>
#include <optional>
#include <string>

#include "patch/audit/operation_record.h"

inline constexpr const char* kChangeLogFileName = "OVPATCH.LOG";

// For its lifetime, one operation ("install", "removal") is logged: a start line when it is made,
// one line per change made through platform/files.h and per message shown through View(), and an
// end line with the count of failures when it ends. Every line starts with the local date and
// time. When the log cannot be written the operation runs unlogged.
class ChangeLog {
public:
  ChangeLog(PatchContext& context, PatchView& view, const std::string& operation);
  ~ChangeLog();
  ChangeLog(const ChangeLog&) = delete;
  ChangeLog& operator=(const ChangeLog&) = delete;

  // The view to run the operation with: the dialog's, with its messages logged.
  PatchView& View() { return recorder_->View(); }

private:
  void Write(const std::string& text);

  std::string operation_;
  FILE* file_ = nullptr;
  std::optional<OperationRecorder> recorder_;
};
