// ovdriver: drives OVPatch.exe for the scripts that cannot be tests: a screenshot of the main
// dialog, and the processor time that an install costs.
//
//   ovdriver show OVPATCH_EXE          sample tree, dialog open; prints "ready L T R B" (its
//                                      screen rectangle), waits for a line on stdin, clicks Done
//   ovdriver bench OVPATCH_EXE COUNT   installs COUNT small files in a sample tree: prints
//                                      "ready EXE_PATH", waits for a line, installs, prints
//                                      "finished COUNT WALL_S PAUSES_S", waits for a line, closes
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "driver/program_run.h"
#include "driver/sample_patch.h"
#include "driver/window_probe.h"
#include "ui/res/resource.h"

namespace {

using namespace wine_e2e;

constexpr const char* kMainCaption = "Orvane Compatibility Patcher";
constexpr DWORD kWindowWaitMs = 30000;
// The pauses of an install: 100 ms before it starts and 50 ms before each file copy.
constexpr double kStartPauseSeconds = 0.100, kCopyPauseSeconds = 0.050;

int Fail(const std::string& why) {
  std::fprintf(stderr, "ovdriver: %s\n", why.c_str());
  return 1;
}

int Show(const std::string& exe) {
  SamplePatch sample(exe);
  if (!SetSimulatorRegistryPath(sample.fsDir())) return Fail("cannot set the registry value");
  ProgramRun run(sample.exe(), sample.patchDir());
  HWND dialog = run.started() ? WaitForDialog(run.pid(), kMainCaption, kWindowWaitMs) : nullptr;
  if (!dialog) return Fail("the main dialog did not appear");
  Sleep(500);  // let the first paint finish before the picture is taken
  const RECT rect = ScreenRect(dialog);
  std::printf("ready %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  Click(dialog, IDCANCEL);
  return run.WaitForExit(kWindowWaitMs) ? 0 : Fail("Done did not end the program");
}

// Reads one line from the script that measures this run (it answers when it is ready).
void AwaitScript() {
  std::string line;
  std::getline(std::cin, line);
}

int Bench(const std::string& exe, int count) {
  SamplePatch sample(exe, count);
  if (!SetSimulatorRegistryPath(sample.fsDir())) return Fail("cannot set the registry value");
  ProgramRun run(sample.exe(), sample.patchDir());
  HWND dialog = run.started() ? WaitForDialog(run.pid(), kMainCaption, kWindowWaitMs) : nullptr;
  if (!dialog) return Fail("the main dialog did not appear");
  WaitUntil([&] { return ControlText(dialog, IDC_STATUS).empty(); }, kWindowWaitMs);

  // The script reads the program's processor time from the host around the install: the
  // program is named by its unique path, then the install starts on the script's answer.
  std::printf("ready %s\n", sample.exe().c_str());
  std::fflush(stdout);
  AwaitScript();
  const DWORD start = GetTickCount();
  Click(dialog, IDC_APPLY_PATCH);
  // Asked seldom: every question is a message the program has to answer.
  if (!WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == "Patch Installed !"; }, 300000,
                 500))
    return Fail("the install did not finish; status: " + ControlText(dialog, IDC_STATUS));
  const double wall = (GetTickCount() - start) / 1000.0;
  const double pauses = kStartPauseSeconds + count * kCopyPauseSeconds;
  std::printf("finished %d %.3f %.3f\n", count, wall, pauses);
  std::fflush(stdout);
  AwaitScript();
  Click(dialog, IDCANCEL);
  return run.WaitForExit(kWindowWaitMs) ? 0 : Fail("Done did not end the program");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "show" && argc == 3) return Show(argv[2]);
  if (command == "bench" && argc == 4) return Bench(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "usage: ovdriver show OVPATCH_EXE | ovdriver bench OVPATCH_EXE COUNT\n");
  return 2;
}
