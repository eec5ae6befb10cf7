// A Windows program under Wine is a process of the Wine loader: it is known by its command line,
// which names the program by its Windows path in the process's prefix, or by its Linux path.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/running_programs.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace {

// Our own program started with the command line `arguments` and only WINEPREFIX=`prefix` in its
// environment, as Wine would start a Windows program; ended when destroyed.
class FakeWineProcess {
public:
  FakeWineProcess(std::vector<std::string> arguments, const std::string& prefix) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string variable = "WINEPREFIX=" + prefix;
    char* envp[] = {variable.data(), nullptr};
    if (posix_spawn(&pid_, OVPATCH_BUSY_PROGRAM_PATH, nullptr, nullptr, argv.data(), envp) != 0)
      pid_ = 0;
  }
  ~FakeWineProcess() {
    if (pid_ == 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  FakeWineProcess(const FakeWineProcess&) = delete;
  FakeWineProcess& operator=(const FakeWineProcess&) = delete;

private:
  pid_t pid_ = 0;
};

// A prefix whose drive C: is `drive`.
std::string MakePrefix(const std::string& prefix, const std::string& drive) {
  std::filesystem::create_directories(prefix + "/dosdevices");
  std::filesystem::create_directory_symlink(drive, prefix + "/dosdevices/c:");
  return prefix;
}

TEST(RunningWineProgram, IsKnownByTheProgramItsCommandLineNames) {
  testsupport::TempFolder tmp;
  const std::string root = testsupport::HostPath(tmp.path());
  std::filesystem::create_directories(root + "/drive_c/Games/FS9");
  std::filesystem::create_directories(root + "/elsewhere_c");
  testsupport::WriteFile(tmp / "drive_c/Games/FS9/FS9.EXE", "MZ");
  const std::string ours = MakePrefix(root + "/prefix", root + "/drive_c");
  const std::string sameDrive = MakePrefix(root + "/second", root + "/drive_c");
  const std::string otherDrive = MakePrefix(root + "/third", root + "/elsewhere_c");
  const testsupport::ScopedEnvironmentVariable prefix("WINEPREFIX", ours);
  const std::string exe = "C:\\Games\\FS9\\FS9.EXE";

  const struct {
    const char* what;
    std::vector<std::string> commandLine;
    std::string prefix;
    bool running;
  } cases[] = {
      {"as Wine names it", {"c:\\games\\fs9\\fs9.exe"}, ours, true},
      {"started through the loader", {"/usr/bin/wine64-preloader", "/usr/bin/wine64", exe}, ours,
       true},
      {"by its Linux path", {"wine", root + "/drive_c/Games/FS9/FS9.EXE"}, otherDrive, true},
      {"another prefix, the same drive", {"wine", exe}, sameDrive, true},
      {"another prefix, another drive", {"wine", exe}, otherDrive, false},
      {"named as another program's argument", {"notepad", exe}, ours, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeWineProcess process(c.commandLine, c.prefix);
    bool seen = platform::ProgramFileRunning(tmp / "drive_c\\Games\\FS9\\FS9.EXE");
    for (int i = 0; i < 100 && seen != c.running; ++i) {  // until the process has started
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      seen = platform::ProgramFileRunning(tmp / "drive_c\\Games\\FS9\\FS9.EXE");
    }
    EXPECT_EQ(seen, c.running);
  }
}

}  // namespace
