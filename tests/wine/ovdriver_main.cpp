// ovdriver: drives OVPatch.exe for the scripts that cannot be tests: a screenshot of the main
// dialog, the processor time that an install costs, and the wall time of an install and removal.
//
//   ovdriver show OVPATCH_EXE          sample tree, dialog open; prints "ready L T R B" (its
//                                      screen rectangle), waits for a line on stdin, clicks Done
//   ovdriver bench OVPATCH_EXE COUNT   installs COUNT small files in a sample tree: prints
//                                      "ready EXE_PATH", waits for a line, installs, prints
//                                      "finished COUNT WALL_S PAUSES_S", waits for a line, closes
//   ovdriver time OVPATCH_EXE PATCH_DIR
//                                      times this Wine's 50 ms pause (as the program pauses),
//                                      prints "pause MEAN_S"; copies the program into PATCH_DIR
//                                      (a patch set whose OVPATCH.INI names its FS2004 folder),
//                                      installs, removes, closes: prints "installed WALL_S" and
//                                      "removed WALL_S"
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

// The mean length of a 50 ms pause made as the program makes it (a timer, messages waited for):
// the time a pause really takes under this Wine, for subtracting the program's pauses.
double MeanPauseSeconds(int pauses) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < pauses; ++i) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, nullptr);
    for (MSG msg{};;) {
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        continue;
      }
      if (msg.message == WM_TIMER) break;
    }
    KillTimer(nullptr, timer);
  }
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart / pauses;
}

// Clicks "Apply Patch" and returns the seconds until the status reads `doneText`, or -1.
double TimedClick(HWND dialog, const std::string& doneText) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  Click(dialog, IDC_APPLY_PATCH);
  // Asked every 20 ms: the program answers within its pauses, so the work is not slowed.
  if (!WaitUntil([&] { return ControlText(dialog, IDC_STATUS) == doneText; }, 1800000, 20))
    return -1;
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

int Time(const std::string& exe, const std::string& patchDir) {
  std::printf("pause %.4f\n", MeanPauseSeconds(40));
  std::fflush(stdout);
  const std::string copy = patchDir + "\\OVPatch.exe";
  if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE)) return Fail("cannot copy the program");
  ProgramRun run(copy, patchDir);
  HWND dialog = run.started() ? WaitForDialog(run.pid(), kMainCaption, kWindowWaitMs) : nullptr;
  if (!dialog) return Fail("the main dialog did not appear");
  WaitUntil([&] { return ControlText(dialog, IDC_STATUS).empty(); }, kWindowWaitMs);
  const double install = TimedClick(dialog, "Patch Installed !");
  if (install < 0)
    return Fail("the install did not finish; status: " + ControlText(dialog, IDC_STATUS));
  std::printf("installed %.3f\n", install);
  std::fflush(stdout);
  const double removal = TimedClick(dialog, "Patch Removed");
  if (removal < 0)
    return Fail("the removal did not finish; status: " + ControlText(dialog, IDC_STATUS));
  std::printf("removed %.3f\n", removal);
  std::fflush(stdout);
  Click(dialog, IDCANCEL);
  return run.WaitForExit(kWindowWaitMs) ? 0 : Fail("Done did not end the program");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "show" && argc == 3) return Show(argv[2]);
  if (command == "bench" && argc == 4) return Bench(argv[2], std::atoi(argv[3]));
  if (command == "time" && argc == 4) return Time(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: ovdriver show OVPATCH_EXE | ovdriver bench OVPATCH_EXE COUNT |"
               " ovdriver time OVPATCH_EXE PATCH_DIR\n");
  return 2;
}
