#pragma once
// A patch folder (current folder and program folder at once) beside an FS2004 tree and a product
// folder, with helpers to write list files in their column layout and to inspect whole trees.
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "patch/engine/scenery_library.h"
#include "patch_fixture.h"
#include "platform/file_layers/content_hash.h"
#include "platform/file_layers/journaled_disk.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "support/list_lines.h"
#include "support/temp_folder.h"

// A disk that gives every file a version, the hash of what it holds now, so that a run takes a
// stamp from its own earlier read wherever the version lets it (the host gives none to files as
// new as a test's); it counts the files opened through it to be read.
class VersionedDisk : public platform::JournaledDisk {
public:
  VersionedDisk() : JournaledDisk(platform::HostDisk(), [](const platform::DiskChange&) {}) {}
  std::optional<std::string> FileVersion(const std::string& path) override {
    const auto stamp = platform::StampOfFile(platform::HostDisk(), path);
    if (!stamp) return std::nullopt;
    return stamp->hash;
  }
  FILE* OpenToRead(const std::string& path, bool binary) override {
    ++opened_[Key(path)];
    return JournaledDisk::OpenToRead(path, binary);
  }
  int TimesOpened(const std::string& path) const {
    const auto found = opened_.find(Key(path));
    return found == opened_.end() ? 0 : found->second;
  }

private:
  static std::string Key(const std::string& path) {
    return platform::ComparablePath(path, platform::TrailingSeparator::kKeep);
  }
  std::map<std::string, int> opened_;
};

class EngineFixture : public PatchFixture {
protected:
  void SetUp() override {
    testsupport::MakeDirs(dir / "FS9");
    testsupport::MakeDirs(dir / "Product");
    context.m_strFsPath = dir / "FS9";
    context.m_strAppDir = dir.path();
    context.m_strProductPath = dir / "Product\\";
    g_sceneryAreaTable = SceneryAreaTable{};
    g_nHighestLayer = 0;
  }
  void TearDown() override { platform::ClearStreamFaults(); }

  void WriteList(const std::string& name,
                 std::initializer_list<std::initializer_list<std::string>> records) {
    std::string text;
    for (auto record : records) text += testsupport::ColumnLine(record) + "\r\n";
    Write(name, text);
  }

  std::string Fs(const std::string& relative) { return dir / ("FS9\\" + relative); }
  std::string App(const std::string& relative) { return dir / relative; }

  // Every file and folder under `root` (a "\"-separated path): relative name -> content, "<dir>"
  // for folders.
  static std::map<std::string, std::string> Tree(const std::string& root) {
    namespace fs = std::filesystem;
    const fs::path base = testsupport::HostPath(root);
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      const std::string name = fs::relative(entry.path(), base).generic_string();
      tree[name] = entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string());
    }
    return tree;
  }
};
