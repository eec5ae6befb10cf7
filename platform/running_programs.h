#pragma once
// Whether a program file is running now, such as FS2004's FS9.EXE in the folder about to be
// patched (it holds its scenery files open and rewrites SCENERY.CFG).
#include <string>

namespace platform {

// True when a process this program can see runs the program file `exePath` (an existing file;
// false when it is missing). Windows (also under Wine): a process whose image is that file, names
// compared without regard to case; under Wine the processes of the same Wine prefix. Linux: a
// process whose executable is that file, or a Wine process started on it: its command line names
// the file by its Linux path, or by its Windows path in the process's own Wine prefix.
bool ProgramFileRunning(const std::string& exePath);

}  // namespace platform
