#include "support/child_process.h"

#include <windows.h>

namespace testsupport {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  // Each argument quoted; the test's arguments hold no quotes of their own.
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& arg : args) commandLine += " \"" + arg + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process) == 0)
    return;
  CloseHandle(process.hThread);
  handle_ = reinterpret_cast<intptr_t>(process.hProcess);
}

ChildProcess::~ChildProcess() { Kill(); }

void ChildProcess::Kill() {
  if (handle_ == 0) return;
  const auto process = reinterpret_cast<HANDLE>(handle_);
  TerminateProcess(process, 9);
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  handle_ = 0;
}

}  // namespace testsupport
