#pragma once
// Runs the real ovpatch-cli on a private copy of the embedded sample and captures what it prints.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "support/environment.h"
#include "support/temp_folder.h"
#include "support/wine_prefix.h"

namespace clitest {

struct CliRun {
  int exitCode = -1;
  std::vector<std::string> out;  // stdout, one entry per line, without line ends
  std::string err;               // stderr as printed, line ends as "\n"
};

// A path the build passed in: a Windows build's "Z:/..." (Wine's drive for the host's root) with
// "\" separators, any other as it is.
std::string FromBuild(std::string path);

// Runs ovpatch-cli with `args` (each passed as one argument) in the current folder.
CliRun RunCli(const std::vector<std::string>& args);

// Every file below `root`: path relative to it with "/" separators, mapped to its bytes.
std::map<std::string, std::string> ReadTree(const std::string& root);
// Every folder below `root`, relative paths with "/" separators.
std::vector<std::string> ListFolders(const std::string& root);

// The drives of the Wine prefix a DemoCopy's Linux program sees (the Windows build's are the
// system's): Z: for the host's root, as Wine makes them, or none, which no typed Linux folder
// reaches.
enum class PrefixDrives { kRoot, kNone };

// A copy of demo/ in a temporary folder: FS2004/ (the simulator) and patch/ (the patch set).
class DemoCopy {
public:
  explicit DemoCopy(PrefixDrives drives = PrefixDrives::kRoot);
  std::string Fs() const { return fs_; }        // host spelling, as a user types it
  std::string Patch() const { return patch_; }  // host spelling
  // The folders as the program keeps and shows them when typed as above (their Windows paths).
  std::string FsKept() const { return testsupport::OnRootDrive(fs_); }
  std::string PatchKept() const { return testsupport::OnRootDrive(patch_); }
  std::string FsFile(const std::string& relative) const { return fs_ + "/" + relative; }
  std::string PatchFile(const std::string& relative) const { return patch_ + "/" + relative; }
  // The product folder as the search records it in the FS2004 folder `fs`: `fs`, "\", the PATH.OV
  // entry, "\".
  static std::string ProductPath(const std::string& fs) {
    return fs + "\\Addon Scenery\\QuillbyBay\\";
  }

  // Writes OVPATCH.INI as an earlier "Change FS2004 Path" to `fsPath` would have left it.
  void RememberFsPath(const std::string& fsPath) const;

  // ovpatch-cli --patch-dir <patch> args...
  CliRun Run(const std::vector<std::string>& args) const;

private:
  testsupport::TempFolder temp_;
  std::string fs_, patch_;
  // Natively the stand-in registry and drives live in $WINEPREFIX: a folder without a registry, so
  // that no simulator installed for the user can take part. The Windows program reads the registry
  // of its prefix.
  testsupport::ScopedEnvironmentVariable winePrefix_;
};

// The settings file's "Status" value, or "" when there is none.
std::string IniStatus(const DemoCopy& demo);

// How often `what` occurs in `text`.
size_t CountOf(const std::string& text, const std::string& what);

}  // namespace clitest
