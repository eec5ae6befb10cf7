// A second instance for the tests: holds the change lock of a program folder and an FS2004 folder
// until it is killed.
//
//   hold_change_lock PROGRAM_FOLDER FS2004_FOLDER READY_FILE
//
// Writes READY_FILE once it holds the lock; exits with 1 when another instance holds it.
#include <chrono>
#include <cstdio>
#include <thread>

#include "patch/context/change_lock.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: hold_change_lock PROGRAM_FOLDER FS2004_FOLDER READY_FILE\n");
    return 2;
  }
  PatchContext context;
  context.m_strAppDir = argv[1];
  context.m_strFsPath = argv[2];
  ChangeLock lock;
  if (!lock.TryTake(context)) return 1;
  if (FILE* ready = std::fopen(argv[3], "w")) std::fclose(ready);
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
