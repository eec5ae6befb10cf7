#pragma once
// A program started in the background for one test, so that a second process can be seen at work.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Starts `program` (a host path, or a Windows path on Windows) with `args`; ends it when destroyed.
// Each host's child_process.cpp.
class ChildProcess {
public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // True when it was started.
  bool Started() const { return handle_ != 0; }
  // Ends it at once, as a crash would, and waits until it is gone.
  void Kill();

private:
  intptr_t handle_ = 0;  // process id or process handle; 0 when none
};

// Waits up to `seconds` for `path` to exist; true when it does.
bool WaitForFile(const std::string& path, int seconds);

}  // namespace testsupport
