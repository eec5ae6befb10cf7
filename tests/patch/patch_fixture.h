#pragma once
// A temporary folder made current (the list files are opened by bare name), a fresh context and a
// recording view over it.
#include <gtest/gtest.h>

#include "patch/context/patch_context.h"
#include "support/recording_view.h"
#include "support/temp_folder.h"

class PatchFixture : public ::testing::Test {
protected:
  testsupport::TempFolder dir;
  testsupport::ScopedCurrentFolder current{dir.path()};
  PatchContext context;
  testsupport::RecordingView view{context};

  // A file in the temporary (current) folder.
  void Write(const std::string& name, const std::string& bytes) { testsupport::WriteFile(dir / name, bytes); }
  std::string Read(const std::string& name) { return testsupport::ReadFile(dir / name); }
};
