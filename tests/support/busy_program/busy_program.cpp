// Another program for the tests, run beside them: copied to FS9.EXE it stands in for a running
// FS2004; it can also hold a file for a while, as a virus scanner or FS2004 would.
//
//   busy_program [hold FILE MILLISECONDS] [ready READY_FILE] ...
//
// Holds FILE for MILLISECONDS (0: until it is ended), writing READY_FILE once the file is held (or
// at once without "hold"); exits with 1 when the file cannot be held. Without "hold" it runs
// until it is ended. Other arguments are ignored, so a test may give it any command line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "support/file_hold.h"
#include "support/temp_folder.h"

int main(int argc, char** argv) {
  std::string file, ready;
  long milliseconds = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "hold" && i + 2 < argc) {
      file = argv[i + 1];
      milliseconds = std::strtol(argv[i + 2], nullptr, 10);
      i += 2;
    } else if (word == "ready" && i + 1 < argc) {
      ready = argv[++i];
    }
  }
  std::unique_ptr<testsupport::FileHold> hold;
  if (!file.empty()) {
    hold = std::make_unique<testsupport::FileHold>(file);
    if (!hold->Held()) return 1;
  }
  if (!ready.empty()) testsupport::WriteFile(ready, "");
  if (hold && milliseconds > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return 0;
  }
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
