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
#include "platform/stream_io.h"

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

  // One column-layout line: each value padded to its 80-character column.
  static std::string ColumnLine(std::initializer_list<std::string> values) {
    std::string line;
    for (const std::string& value : values) {
      std::string column = value;
      column.resize(80, ' ');
      line += column;
    }
    return line + "\r\n";
  }
  void WriteList(const std::string& name, std::initializer_list<std::initializer_list<std::string>> records) {
    std::string text;
    for (auto record : records) text += ColumnLine(record);
    Write(name, text);
  }

  std::string Fs(const std::string& relative) { return dir / ("FS9\\" + relative); }
  std::string App(const std::string& relative) { return dir / relative; }

  // Every file and folder under `root` (a "\"-separated path): relative name -> content, "<dir>" for
  // folders.
  static std::map<std::string, std::string> Tree(const std::string& root) {
    namespace fs = std::filesystem;
    const fs::path base = HostPath(root);
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      const std::string name = fs::relative(entry.path(), base).generic_string();
      tree[name] = entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string());
    }
    return tree;
  }
  // "/" is a separator for std::filesystem on every host.
  static std::string HostPath(std::string path) {
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
};
