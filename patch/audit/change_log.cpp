#include "patch/audit/change_log.h"

#include "platform/clock.h"
#include "platform/files.h"

ChangeLog::ChangeLog(PatchContext& context, PatchView& view, const std::string& operation)
    : operation_(operation) {
  // Opened before the recorder journals the services, so the log's own writes are not recorded.
  // Without the program's folder there is no patch folder to log into.
  if (!context.m_strAppDir.empty())
    file_ = platform::OpenStream(context.m_strAppDir + "\\" + kChangeLogFileName, "a");
  Write(operation + " started: FS2004 folder " + context.m_strFsPath + ", product folder " +
        context.m_strProductPath + ", patch folder " + context.m_strAppDir);
  recorder_.emplace(context, &view, platform::ChangeTense::Done,
                    [this](const RecordLine& line) { Write((line.message ? "message " : "") + line.text); });
}

ChangeLog::~ChangeLog() {
  const int failures = recorder_->Failures();
  recorder_.reset();
  Write(operation_ + " finished: " + std::to_string(failures) +
        (failures == 1 ? " failure" : " failures"));
  if (file_) std::fclose(file_);
}

void ChangeLog::Write(const std::string& text) {
  if (!file_) return;
  const std::string line = platform::LocalTimeText("%Y-%m-%d %H:%M:%S") + " " + text + "\n";
  std::fputs(line.c_str(), file_);
  // Each line reaches the disk at once: the log must tell how far an interrupted run got.
  std::fflush(file_);
}
