#include "large_patch.h"

#include <cstdio>
#include <filesystem>
#include <cstdint>
#include <fstream>

namespace bench {
namespace fs = std::filesystem;
namespace {

// How the list files spell the product's scenery folder: other letter case than on disk.
const char kListedScenery[] = "ADDON SCENERY\\QuillbyBay\\SCENERY\\";

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Column(const std::string& value) { return value + std::string(80 - value.size(), ' '); }

void AppendRecords(const fs::path& list, const std::vector<std::string>& lines) {
  std::ofstream out(list, std::ios::binary | std::ios::app);
  for (const std::string& line : lines) out << line << "\r\n";
}

std::string Numbered(const char* format, int n) {
  char name[32];
  std::snprintf(name, sizeof name, format, n);
  return name;
}

}  // namespace

std::string PatchedBytes(int index, bool replacement) {
  std::string bytes(kPatchedFileSize, '\0');
  uint32_t state = static_cast<uint32_t>(index * 2 + (replacement ? 1 : 0)) * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

LargePatch MakeLargePatch(const std::string& root, int folderFiles, int patchedFiles) {
  const fs::path base(root);
  fs::create_directories(base);
  LargePatch patch{(base / "FS2004").string(), (base / "patch").string(), {}};
  fs::copy(OVPATCH_DEMO_DIR "/fs2004", patch.fsFolder, fs::copy_options::recursive);
  fs::copy(OVPATCH_DEMO_DIR "/patch", patch.patchFolder, fs::copy_options::recursive);
  const fs::path scenery = fs::path(patch.fsFolder) / kProductSceneryFolder;

  std::vector<std::string> backups, installs;
  for (int i = 0; i < patchedFiles; ++i) {
    const std::string name = PatchedFileName(i);
    const fs::path stored = scenery / (name + (PatchedFileDisabled(i) ? ".XXX" : ".bgl"));
    Write(stored, PatchedBytes(i, false));
    const fs::path replacement = fs::path(patch.patchFolder) / (name + ".BGL");
    Write(replacement, PatchedBytes(i, true));
    const std::string backupName = name + "_ORIG";
    patch.files.push_back({stored.string(), replacement.string(),
                           (fs::path(patch.patchFolder) / (backupName + ".BGL")).string()});
    const std::string listed = kListedScenery + name;
    backups.push_back(Column(listed) + Column(backupName));
    installs.push_back(Column(listed) + Column(name) + Column(listed));
  }
  for (int i = patchedFiles; i < folderFiles; ++i)
    Write(scenery / Numbered("QB_F%05d.BGL", i), Numbered("other scenery file %d", i));
  AppendRecords(fs::path(patch.patchFolder) / "BAK.OV", backups);
  AppendRecords(fs::path(patch.patchFolder) / "INST.OV", installs);
  Write(fs::path(patch.patchFolder) / "OVPATCH.INI", "[Settings]\r\nFs2004=" + patch.fsFolder + "\r\n");
  return patch;
}

}  // namespace bench
