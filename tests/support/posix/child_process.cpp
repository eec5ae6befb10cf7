#include "support/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0)
    handle_ = pid;
}

ChildProcess::~ChildProcess() { Kill(); }

void ChildProcess::Kill() {
  if (handle_ == 0) return;
  const auto pid = static_cast<pid_t>(handle_);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  handle_ = 0;
}

}  // namespace testsupport
