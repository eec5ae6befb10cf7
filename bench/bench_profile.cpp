// Reads Layer, Local and Title of Area.001 to Area.998 from a 1000-area scenery library through one
// platform::ProfileSnapshot, as the scenery registration does, and through a reader that parses the
// file again on every call (the baseline), and prints both times and their ratio.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/profile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kAreas = 1000;
constexpr int kReadAreas = 998;
const char* const kKeys[] = {"Layer", "Local", "Title"};

std::string AreaName(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "Area.%03d", n);
  return name;
}

std::string BuildLibrary() {
  std::ostringstream out;
  out << "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery Data\r\nClean_on_Exit=TRUE\r\n";
  for (int n = 1; n <= kAreas; ++n) {
    out << "\r\n[" << AreaName(n) << "]\r\n"
        << "Title=Orvane Add-on Scenery Package Number " << n << "\r\n"
        << "Local=Addon Scenery\\Package" << n << "\r\n"
        << "Layer=" << n << "\r\n"
        << "Active=TRUE\r\nRequired=FALSE\r\nRemote=\\\\server\\scenery\\Package" << n << "\r\n";
  }
  return out.str();
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// The baseline: open, read and scan the whole file for every value.
std::string NaiveRead(const std::string& section, const std::string& key, const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  bool inSection = false, seen = false;
  while (std::getline(in, line)) {
    const std::string t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      const size_t close = t.rfind(']');
      if (inSection) return "undefined";  // only the first section of the name counts
      inSection = !seen && close != std::string::npos && SameNoCase(Trim(t.substr(1, close - 1)), section);
      seen = seen || inSection;
      continue;
    }
    const size_t eq = t.find('=');
    if (inSection && eq != std::string::npos && SameNoCase(Trim(t.substr(0, eq)), key)) return Trim(t.substr(eq + 1));
  }
  return "undefined";
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

template <typename Reader>
double TimeReads(Reader read, const std::string& file, size_t& checksum) {
  const auto start = std::chrono::steady_clock::now();
  for (int n = 1; n <= kReadAreas; ++n)
    for (const char* key : kKeys) checksum += read(AreaName(n), key, file).size();
  return MillisecondsSince(start);
}

// As the registration reads: one snapshot, made inside the timed part.
double TimeSnapshotReads(const std::string& file, size_t& checksum) {
  const auto start = std::chrono::steady_clock::now();
  const platform::ProfileSnapshot library(file);
  for (int n = 1; n <= kReadAreas; ++n)
    for (const char* key : kKeys) checksum += library.ReadString(AreaName(n), key, "undefined", 998).size();
  return MillisecondsSince(start);
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / "ovpatch-bench-profile";
  fs::create_directories(folder);
  const std::string file = (folder / "SCENERY.CFG").string();
  const std::string library = BuildLibrary();
  std::ofstream(file, std::ios::binary) << library;

  size_t snapshotSum = 0, naiveSum = 0;
  const double snapshotMs = TimeSnapshotReads(file, snapshotSum);
  const double naiveMs = TimeReads(NaiveRead, file, naiveSum);

  std::printf("scenery library: %d areas, %zu bytes; %d reads (Layer, Local, Title of Area.001..Area.%03d)\n",
              kAreas, library.size(), kReadAreas * 3, kReadAreas);
  std::printf("platform::ProfileSnapshot:    %10.2f ms\n", snapshotMs);
  std::printf("re-parse per call (baseline): %10.2f ms\n", naiveMs);
  std::printf("ratio:                        %10.1fx\n", snapshotMs > 0 ? naiveMs / snapshotMs : 0.0);
  const bool agree = snapshotSum == naiveSum;
  if (!agree) std::printf("warning: the two readers disagree (%zu vs %zu bytes)\n", snapshotSum, naiveSum);

  std::error_code ec;
  fs::remove_all(folder, ec);
  return agree ? 0 : 1;
}
