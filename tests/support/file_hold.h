#pragma once
// A file held as another program holds it: on Windows opened without sharing, on Linux under an
// fcntl write lock (as Wine passes on a Windows program's locks). Each host's file_hold.cpp.
#include <cstdint>
#include <string>

namespace testsupport {

class FileHold {
public:
  // Holds the existing file `path` (a test path, "\" or "/") until destroyed.
  explicit FileHold(const std::string& path);
  ~FileHold();
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

  // True when the file is held.
  bool Held() const { return handle_ != kNone; }

private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;  // descriptor or handle
};

}  // namespace testsupport
