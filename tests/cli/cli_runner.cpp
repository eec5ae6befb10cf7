#include "cli/cli_runner.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace clitest {

using testsupport::HostPath;
namespace {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// std::system's result as the program's exit status (-1 when it did not exit normally).
int ExitStatusOf(int systemResult) {
#ifdef _WIN32
  return systemResult;
#else
  return WIFEXITED(systemResult) ? WEXITSTATUS(systemResult) : -1;
#endif
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

}  // namespace

std::string FromBuild(std::string path) {
  if (path.size() > 2 && path[1] == ':') std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

CliRun RunCli(const std::vector<std::string>& args) {
  testsupport::TempFolder capture;
  const std::string outFile = HostPath(capture / "out.txt");
  const std::string errFile = HostPath(capture / "err.txt");
  std::string command = Quote(FromBuild(OVPATCH_CLI_PATH));
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote(outFile) + " 2>" + Quote(errFile);
#ifdef _WIN32
  // cmd.exe /c drops the first and the last quote of a line that starts with one.
  command.insert(command.begin(), '"');
  command.push_back('"');
#endif

  CliRun run;
  run.exitCode = ExitStatusOf(std::system(command.c_str()));
  run.out = SplitLines(WithoutCarriageReturns(testsupport::ReadFile(outFile)));
  run.err = WithoutCarriageReturns(testsupport::ReadFile(errFile));
  return run;
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
  std::map<std::string, std::string> files;
  const fs::path base(HostPath(root));
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    if (!entry.is_regular_file()) continue;
    files[entry.path().lexically_relative(base).generic_string()] =
        testsupport::ReadFile(entry.path().string());
  }
  return files;
}

std::vector<std::string> ListFolders(const std::string& root) {
  std::vector<std::string> folders;
  const fs::path base(HostPath(root));
  for (const auto& entry : fs::recursive_directory_iterator(base))
    if (entry.is_directory())
      folders.push_back(entry.path().lexically_relative(base).generic_string());
  std::sort(folders.begin(), folders.end());
  return folders;
}

DemoCopy::DemoCopy(PrefixDrives drives)
    : fs_(HostPath(temp_ / "FS2004")),
      patch_(HostPath(temp_ / "patch")),
      winePrefix_("WINEPREFIX", HostPath(temp_ / "wineprefix")) {
  if (drives == PrefixDrives::kRoot) testsupport::MakePrefixWithRootDrive(temp_ / "wineprefix");
  const fs::path demo(FromBuild(OVPATCH_DEMO_DIR));
  fs::copy(demo / "fs2004", fs_, fs::copy_options::recursive);
  fs::copy(demo / "patch", patch_, fs::copy_options::recursive);
}

void DemoCopy::RememberFsPath(const std::string& fsPath) const {
  testsupport::WriteFile(PatchFile("OVPATCH.INI"), "[Settings]\r\nFs2004=" + fsPath + "\r\n");
}

CliRun DemoCopy::Run(const std::vector<std::string>& args) const {
  std::vector<std::string> all{"--patch-dir", patch_};
  all.insert(all.end(), args.begin(), args.end());
  return RunCli(all);
}

std::string IniStatus(const DemoCopy& demo) {
  const std::string ini =
      WithoutCarriageReturns(testsupport::ReadFile(demo.PatchFile("OVPATCH.INI")));
  for (const std::string& line : SplitLines(ini))
    if (line.rfind("Status=", 0) == 0) return line.substr(7);
  return "";
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace clitest
