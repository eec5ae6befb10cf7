#include "support/child_process.h"

#include <chrono>
#include <thread>

#include "support/temp_folder.h"

namespace testsupport {

bool WaitForFile(const std::string& path, int seconds) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!FileExists(path)) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace testsupport
