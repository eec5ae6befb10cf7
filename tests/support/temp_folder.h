#pragma once
// A fresh folder for one test, removed with everything in it afterwards; plus plain file helpers
// for arranging and inspecting fixtures. Paths handed to the code under test use "\" separators,
// which every host accepts through the platform layer.
#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder itself, no trailing separator.
  const std::string& path() const { return path_; }
  // path() + "\" + relative.
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
  std::string path_;
};

// `path` spelled for the host's own file functions (std::filesystem, the C library, the shell):
// a Windows path (one that starts with a drive letter) as it is, any other with "/" for "\".
std::string HostPath(const std::string& path);

// Fixture helpers: `path` may use "\" or "/"; they go straight to the host's file system (no
// case-insensitive lookup), so spell names as they are on disk.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // "" when missing
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
void MakeDirs(const std::string& path);
void MakeReadOnly(const std::string& path);
// Moves the file's modification time `seconds` away from now (ahead when positive), so that a
// cache keyed on it sees a change even when two writes fall into one tick of the file-system clock.
void ShiftModifiedTime(const std::string& path, int seconds);
// The names of the entries of a folder, sorted; empty when it is missing.
std::vector<std::string> ListFolder(const std::string& path);

// Runs the test's body with the current folder set to `folder`, restoring it afterwards.
class ScopedCurrentFolder {
public:
  explicit ScopedCurrentFolder(const std::string& folder);
  ~ScopedCurrentFolder();

private:
  std::string previous_;
};

}  // namespace testsupport
