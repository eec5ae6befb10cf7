#include "support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

fs::path Native(const std::string& path) { return fs::path(HostPath(path)); }

}  // namespace

std::string HostPath(const std::string& path) {
  const bool windowsPath = path.size() >= 2 && path[1] == ':';
  if (windowsPath) return path;
  std::string host = path;
  std::replace(host.begin(), host.end(), '\\', '/');
  return host;
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() /
                 ("ovpatch-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  path_ = dir.string();
#ifndef _WIN32
  // Keep "\" as the separator the code under test sees; the posix layer accepts both.
  for (char& c : path_)
    if (c == '/') c = '\\';
#endif
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::path dir = Native(path_);
  // Read-only files and folders must not keep the folder alive.
  for (auto it = fs::recursive_directory_iterator(dir, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(dir, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(Native(path), ec);
}

bool DirExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(Native(path), ec);
}

void MakeDirs(const std::string& path) { fs::create_directories(Native(path)); }

void MakeReadOnly(const std::string& path) {
  fs::permissions(Native(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

void ShiftModifiedTime(const std::string& path, int seconds) {
  std::error_code ec;
  fs::last_write_time(Native(path),
                      fs::file_time_type::clock::now() + std::chrono::seconds(seconds), ec);
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::directory_iterator(Native(path), ec); !ec && it != fs::directory_iterator();
       it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder)
    : previous_(fs::current_path().string()) {
  fs::current_path(Native(folder));
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

}  // namespace testsupport
