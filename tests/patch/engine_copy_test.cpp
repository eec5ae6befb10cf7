#include "engine_fixture.h"
#include "patch/context/settings.h"
#include "patch/engine/copy_patch_file.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) % 251);
  return bytes;
}

const std::string kOpenDestinationTail =
    "\n\nThe OS may have the file locked.\n\nReboot your system and try running the Orvane SETUP again.";

}  // namespace

class CopyPatchFileTest : public EngineFixture {
protected:
  std::string source = dir / "source.bgl";
  std::string destination = dir / "dest.bgl";
  std::map<std::string, std::string> before;

  // Arranges an existing destination and remembers the whole folder.
  void ArrangeExistingDestination() {
    WriteFile(source, Bytes(5000));
    WriteFile(destination, "previous content");
    before = Tree(dir.path());
  }
  void ExpectFailureLeftFolderAsItWas(const std::string& messagePrefix) {
    EXPECT_EQ(Tree(dir.path()), before);  // destination intact, no temporary file left
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.rfind(messagePrefix, 0), 0u) << view.messages[0].text;
    EXPECT_EQ(view.messages[0].caption, "Warning");
  }
};

TEST_F(CopyPatchFileTest, CopiesEveryByteWhateverTheSizeAndCutsALongerDestination) {
  for (size_t size : {size_t{0}, size_t{999}, size_t{1000}, size_t{2500}, size_t{3 * 1024 * 1024 + 17}}) {
    WriteFile(source, Bytes(size));
    WriteFile(destination, Bytes(size + 4000));
    EXPECT_EQ(CopyPatchFile(view, source, destination), 0) << size;
    EXPECT_EQ(ReadFile(destination), Bytes(size)) << size;
  }
  EXPECT_EQ(CopyPatchFile(view, source, dir / "fresh.bgl"), 0);  // a missing destination is created
  EXPECT_EQ(ReadFile(dir / "fresh.bgl"), Bytes(3 * 1024 * 1024 + 17));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(CopyPatchFileTest, CopyOntoItselfLeavesTheFileIntact) {
  WriteFile(source, Bytes(2500));
  EXPECT_EQ(CopyPatchFile(view, source, source), 0);
  EXPECT_EQ(CopyPatchFile(view, source, dir / "SOURCE.BGL"), 0);  // the same file in other case
  EXPECT_EQ(ReadFile(source), Bytes(2500));
  EXPECT_EQ(Tree(dir.path()).size(), 3u);  // FS9, Product, source.bgl
}

TEST_F(CopyPatchFileTest, OpenFailuresChangeNothingAndTellTheUser) {
  ArrangeExistingDestination();
  // Each missing source is named as missing from the folder that should hold it.
  EXPECT_EQ(CopyPatchFile(view, dir / "missing.bgl", destination), -1);
  ExpectFailureLeftFolderAsItWas("Error opening file " + (dir / "missing.bgl") +
                                 "\n\nThe file is missing from the patch folder.");
  view.messages.clear();
  WriteFile(Fs("SCENERY.CFG"), "");
  before = Tree(dir.path());
  EXPECT_EQ(CopyPatchFile(view, Fs("missing.bgl"), destination), -1);
  ExpectFailureLeftFolderAsItWas("Error opening file " + Fs("missing.bgl") +
                                 "\n\nThe source file appears to be missing from your FS2004 system.");

  view.messages.clear();
  const std::string nowhere = dir / "NoSuchFolder\\dest.bgl";
  EXPECT_EQ(CopyPatchFile(view, source, nowhere), -1);
  ExpectFailureLeftFolderAsItWas("Error opening file " + nowhere + kOpenDestinationTail);

  view.messages.clear();
  EXPECT_EQ(CopyPatchFile(view, source, dir / "Product"), -1);  // a folder where a file belongs
  ExpectFailureLeftFolderAsItWas("Error opening file " + (dir / "Product") + kOpenDestinationTail);
}

TEST_F(CopyPatchFileTest, ReadOnlyDestinationFailsUpFront) {
  ArrangeExistingDestination();
  testsupport::MakeReadOnly(destination);
  EXPECT_EQ(CopyPatchFile(view, source, destination), -1);
  ExpectFailureLeftFolderAsItWas("Error opening file " + destination + "\n\nThe file is read-only.");
}

TEST_F(CopyPatchFileTest, ReadWriteAndCloseFailuresKeepTheDestination) {
  const struct {
    platform::StreamFault fault;
    int skip;
    std::string messageStart;
  } cases[] = {
      {platform::StreamFault::Read, 0, "Error reading file "},
      {platform::StreamFault::Read, 3, "Error reading file "},  // after some chunks went through
      {platform::StreamFault::Write, 0, "Error writing file "},
      {platform::StreamFault::Write, 2, "Error writing file "},
      {platform::StreamFault::Close, 0, "Error writing file "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.skip);
    ArrangeExistingDestination();
    view.messages.clear();
    platform::InjectStreamFault(c.fault, c.skip);
    EXPECT_EQ(CopyPatchFile(view, source, destination), -1);
    platform::ClearStreamFaults();
    ExpectFailureLeftFolderAsItWas(c.messageStart);
  }
  // A missing destination stays missing.
  view.messages.clear();
  platform::InjectStreamFault(platform::StreamFault::Write);
  EXPECT_EQ(CopyPatchFile(view, source, dir / "fresh.bgl"), -1);
  platform::ClearStreamFaults();
  EXPECT_EQ(Tree(dir.path()), before);
}

// A file whose path is as long as the system accepts can be replaced, and its folder is remembered
// in TITLE.OV and OVPATCH.INI at full length; a longer path is refused with a message that says so.
TEST_F(CopyPatchFileTest, PathsAsLongAsTheSystemAcceptsWork) {
  const size_t longest = platform::LongestPathLength();
  std::string folder = dir.path();
  while (longest - folder.size() > 231) folder += "\\" + std::string(200, 'f');
  folder += "\\" + std::string(longest - folder.size() - 30, 'g');
  const std::string name = std::string(24, 'T') + ".BGL";
  const std::string target = folder + "\\" + name;
  ASSERT_EQ(target.size(), longest);
  testsupport::MakeDirs(folder);
  WriteFile(target, "old");
  WriteFile(folder + "\\README.TXT", "check file");
  WriteFile(source, Bytes(3000));

  EXPECT_EQ(CopyPatchFile(view, source, target), 0);
  EXPECT_EQ(ReadFile(target), Bytes(3000));
  EXPECT_EQ(testsupport::ListFolder(folder), (std::vector<std::string>{"README.TXT", name}));

  const std::string tooLong = folder + "\\" + std::string(30, 'T') + ".BGL";
  EXPECT_EQ(CopyPatchFile(view, source, tooLong), -1);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(
      view.messages[0].text.rfind(
          "Error opening file " + tooLong + "\n\nIts path is longer than the system accepts", 0),
      0u)
      << view.messages[0].text;
  EXPECT_EQ(testsupport::ListFolder(folder), (std::vector<std::string>{"README.TXT", name}));

  context.m_strProductTitle = "Long";
  context.m_strProductCheckFile = "README.TXT";
  context.m_strProductFolder = folder + "\\";
  SaveProductTitleFile(context, view);
  context.m_strProductFolder.clear();
  EXPECT_EQ(LocateProduct(context, view), 0);
  EXPECT_EQ(context.m_strProductPath, folder + "\\");

  EXPECT_TRUE(SaveSettingsFsPath(context, view, target));
  context.m_strFsPath.clear();
  LoadSettings(context, view);
  EXPECT_EQ(context.m_strFsPath, target);
  EXPECT_EQ(view.messages.size(), 1u);
}
