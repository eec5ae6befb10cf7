#pragma once
// Small helpers shared by the benchmarks: a silent view, a scratch folder and a stopwatch.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "patch/patch_view.h"

namespace bench {

// Counts the messages and prints them on stderr instead of showing them; everything else does
// nothing.
class SilentView : public WindowlessView {
public:
  void ShowStopMessage(const std::string& text, const std::string&) override {
    ++messages;
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  int messages = 0;
};

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              (name + "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::string path() const { return path_.string(); }

private:
  std::filesystem::path path_;
};

// Seconds taken by `work`.
template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench
