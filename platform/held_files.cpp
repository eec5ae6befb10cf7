// The waiting of platform/held_files.h, the same on every host; each host's held_files.cpp says
// whether a file is held.
#include "platform/held_files.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point WaitEnd() { return Clock::now() + std::chrono::milliseconds(kHeldFileWaitMilliseconds); }

// Pauses before the next try; false when the wait that ends at `end` is over.
bool PauseBefore(Clock::time_point end) {
  if (Clock::now() >= end) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(kHeldFileRetryMilliseconds));
  return true;
}

}  // namespace

bool RetryWhileHeld(const std::function<bool()>& attempt,
                    const std::function<bool()>& failedAsHeld) {
  if (attempt()) return true;
  if (!failedAsHeld()) return false;
  const Clock::time_point end = WaitEnd();
  while (PauseBefore(end)) {
    if (attempt()) return true;
    if (!failedAsHeld()) return false;
  }
  return false;
}

bool WaitUntilReleased(const std::function<bool()>& held) {
  if (!held()) return true;
  const Clock::time_point end = WaitEnd();
  while (PauseBefore(end))
    if (!held()) return true;
  return false;
}

std::vector<std::string> FilesStillHeld(const std::vector<std::string>& paths) {
  std::vector<std::string> held = FilesHeldNow(paths);
  // One wait for them all: each file is asked again until it is released or the time is up.
  const Clock::time_point end = WaitEnd();
  while (!held.empty() && PauseBefore(end))
    std::erase_if(held, [](const std::string& path) { return !FileHeldByAnotherProgram(path); });
  return held;
}

}  // namespace platform
