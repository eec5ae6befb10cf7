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

double ProgramRun::CpuSeconds() const {
  FILETIME creation, exit, kernel, user;
  if (!started_ || !GetProcessTimes(info_.hProcess, &creation, &exit, &kernel, &user)) return -1.0;
  auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

}  // namespace wine_e2e
