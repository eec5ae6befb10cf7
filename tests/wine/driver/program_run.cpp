#include "program_run.h"

#include <vector>

namespace wine_e2e {

ProgramRun::ProgramRun(const std::string& exe, const std::string& currentFolder) {
  std::string commandLine = "\"" + exe + "\"";
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            currentFolder.c_str(), &startup, &info_) != 0;
}

ProgramRun::~ProgramRun() {
  if (!started_) return;
  if (!WaitForExit(0)) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ProgramRun::WaitForExit(DWORD timeoutMs) const {
  return started_ && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace wine_e2e
