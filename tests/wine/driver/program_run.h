#pragma once
// One run of a Windows program under test, started by the driver with its own current folder.
#include <windows.h>

#include <string>

namespace wine_e2e {

class ProgramRun {
public:
  // Starts `exe` with `currentFolder` as its current folder; started() tells whether it worked.
  ProgramRun(const std::string& exe, const std::string& currentFolder);
  // Ends the process if it is still running: a failed test never leaves it behind.
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool started() const { return started_; }
  DWORD pid() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }

  // True when the process has ended within `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs) const;
  bool running() const { return started_ && !WaitForExit(0); }

private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace wine_e2e
