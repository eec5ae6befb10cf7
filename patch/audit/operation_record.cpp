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

OperationRecorder::OperationRecorder(platform::Disk& disk, platform::ChangeTense tense,
                                     OperationOutcome& outcome,
                                     std::function<void(const RecordLine&)> onLine,
                                     std::function<void(const RecordOutcome&)> onRecord)
    : tense_(tense),
      outcome_(outcome),
      onLine_(std::move(onLine)),
      journal_(disk, [this](const platform::DiskChange& change) {
        onLine_({platform::DescribeChange(change, tense_), change.failed, false, change});
      }) {
  outcome_.OnTell([this](const ToldMessage& message) {
    onLine_({MessageLines(message.caption, message.text), true, true, std::nullopt});
  });
  outcome_.OnEnter(std::move(onRecord));
}

OperationRecorder::~OperationRecorder() {
  outcome_.OnTell(nullptr);
  outcome_.OnEnter(nullptr);
}

ChangeLog::ChangeLog(PatchContext& context, platform::Disk& disk, const std::string& operation,
                     OperationOutcome& outcome)
    : operation_(operation), outcome_(outcome) {
  // The log itself is no change of the patch's. Without the program's folder there is no patch
  // folder to log into.
  if (!context.m_strAppDir.empty() && disk.ChangesHostFiles())
    file_.reset(platform::OpenStream(platform::JoinPath(context.m_strAppDir, kChangeLogFileName), "a"));
  Write(operation + " started: FS2004 folder " + context.m_strFsPath + ", product folder " +
        context.m_strProductPath + ", patch folder " + context.m_strAppDir);
  recorder_.emplace(
      disk, platform::ChangeTense::Done, outcome,
      [this](const RecordLine& line) { Write((line.message ? "message " : "") + line.text); },
      [this](const RecordOutcome& entry) {
        if (entry.result != RecordResult::Done) Write(DescribeRecordOutcome(entry, false));
      });
}

ChangeLog::~ChangeLog() {
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
