#include <cstdio>

#include "engine_fixture.h"

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

std::string Area(int n, const std::string& body) {
  char header[32];
  std::snprintf(header, sizeof header, "[Area.%03d]\r\n", n);
  return header + body;
}
std::string Layered(int n, int layer, const std::string& local = "") {
  return Area(n, "Title=T" + std::to_string(n) +
                     "\r\nLocal=" + (local.empty() ? "Scenery\\A" + std::to_string(n) : local) +
                     "\r\nLayer=" + std::to_string(layer) + "\r\nActive=TRUE\r\n\r\n");
}
std::string Appended(int n, int layer) {
  char text[256];
  std::snprintf(
      text, sizeof text,
      "\r\n[Area.%03d]\r\nTitle=Orvane - Exclude Files For Addon Patches\r\n"
      "Local=SCENERY\\OV_EXCLUDES\r\nLayer=%d\r\nActive=TRUE\r\nRequired=FALSE\r\nRemote=\r\n",
      n, layer);
  return text;
}

}  // namespace

class SceneryLibraryTest : public EngineFixture {
protected:
  std::string cfg = dir / "FS9\\SCENERY.CFG";
  void SetUp() override {
    EngineFixture::SetUp();
    Write("CREATE.OV", "");
  }
  // Writes SCENERY.CFG, registers, and returns what was appended to it.
  std::string RegisterOver(const std::string& text) {
    WriteFile(cfg, text);
    RegisterExcludeArea(context, view);
    const std::string after = ReadFile(cfg);
    EXPECT_EQ(after.substr(0, text.size()), text) << "existing content changed";
    return after.size() > text.size() ? after.substr(text.size()) : "";
  }
};

TEST_F(SceneryLibraryTest, PresentAreaIsFoundWhateverItsCaseAndLeftAlone) {
  EXPECT_EQ(RegisterOver(Layered(1, 5, "scenery\\ov_excludes")), "");
  EXPECT_EQ(RegisterOver(Layered(1, 5) +
                         Area(2, "Local=SCENERY\\OV_EXCLUDES\r\nLayer=6\r\nActive=FALSE\r\n")),
            "");
  // Not the same Local: trailing backslash, full path, forward slashes.
  EXPECT_EQ(RegisterOver(Layered(1, 5, "SCENERY\\OV_EXCLUDES\\") +
                         Layered(2, 6, "C:\\FS9\\SCENERY\\OV_EXCLUDES") +
                         Layered(3, 7, "SCENERY/OV_EXCLUDES")),
            Appended(4, 8));
  // A second registration in the same run finds the area just appended.
  const std::string registered = ReadFile(cfg);
  RegisterExcludeArea(context, view);
  EXPECT_EQ(ReadFile(cfg), registered);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SceneryLibraryTest, LowestFreeNumberSkipsEverySectionOfThatName) {
  std::string text;
  for (int n : {1, 2, 3, 4, 5, 7}) text += Layered(n, n);
  EXPECT_EQ(RegisterOver(text), Appended(6, 8));

  // Sections without a usable Layer are absent for the lookup and the layer, yet their numbers
  // are not handed out again.
  g_nHighestLayer = 0;
  text = Layered(1, 2) + Area(2, "Title=No layer\r\nLocal=SCENERY\\OV_EXCLUDES\r\n") +
         Area(3, "Layer=undefined\r\n") + Area(4, "") + "[area.005]\r\nLayer=-3\r\n" +
         Layered(999, 900) + "[Area.6]\r\nLayer=1\r\n";
  EXPECT_EQ(RegisterOver(text), Appended(6, 3));
  EXPECT_EQ(g_sceneryAreaTable[2].areaNumber, 0);
  EXPECT_EQ(g_sceneryAreaTable[5].layer, -3);
}

TEST_F(SceneryLibraryTest, LayerIsOneAboveTheHighestSeenInThisRun) {
  std::string text;
  for (int n = 1; n <= 120; ++n) text += Layered(n, n);
  EXPECT_EQ(RegisterOver(text + Layered(121, 300)), Appended(122, 301));
  // Another FS2004 folder with low layers: the highest layer seen before still counts.
  testsupport::MakeDirs(dir / "Other");
  context.m_strFsPath = dir / "Other";
  cfg = dir / "Other\\SCENERY.CFG";
  EXPECT_EQ(RegisterOver(Layered(1, 2)), Appended(2, 301));

  g_nHighestLayer = 0;
  EXPECT_EQ(RegisterOver(Layered(1, -5) + Layered(2, -1)), Appended(3, 1));
  g_nHighestLayer = 0;
  EXPECT_EQ(RegisterOver(Area(1, "Layer=abc\r\n")), Appended(2, 1));  // present, layer 0
  EXPECT_EQ(g_sceneryAreaTable[1].areaNumber, 1);
  EXPECT_EQ(g_sceneryAreaTable[1].local, "");
}

TEST_F(SceneryLibraryTest, OddFilesAndTheGate) {
  // No CREATE.OV: nothing read or written.
  std::remove("CREATE.OV");
  EXPECT_EQ(RegisterOver("[General]\r\n"), "");
  Write("CREATE.OV", "");

  // Last line without a line break: the appended text's first line break ends it.
  EXPECT_EQ(RegisterOver("[General]\r\nTitle=x"), Appended(1, 1));

  // Missing file: created with the area alone.
  g_nHighestLayer = 0;
  std::remove(testsupport::HostPath(cfg).c_str());
  RegisterExcludeArea(context, view);
  EXPECT_EQ(ReadFile(cfg), Appended(1, 1));
  EXPECT_TRUE(view.messages.empty());

  // A folder where the file belongs: the open fails and the user is told.
  std::remove(testsupport::HostPath(cfg).c_str());
  testsupport::MakeDirs(cfg);
  RegisterExcludeArea(context, view);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Error opening SCENERY.CFG file.\n\nArea you running FS2004 ?\n\nCannot complete "
            "configuration.");
  EXPECT_EQ(view.messages[0].caption, "Warning");
}

TEST_F(SceneryLibraryTest, FullLibraryAppendsNothingAndSaysSo) {
  std::string text;
  for (int n = 1; n <= 998; ++n) text += n % 2 ? Layered(n, 1) : Area(n, "Title=layerless\r\n");
  EXPECT_EQ(RegisterOver(text), "");
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_NE(view.messages[0].text.find("no free"), std::string::npos) << view.messages[0].text;
  EXPECT_EQ(view.messages[0].caption, "Warning");
}

TEST_F(SceneryLibraryTest, AFailedWriteLeavesTheFileByteForByteAndSaysSo) {
  const std::string text = Layered(1, 5) + "Remote=\r\n\x1A";  // a Ctrl-Z must survive as well
  for (const auto fault : {platform::StreamFault::Write, platform::StreamFault::Close}) {
    view.messages.clear();
    platform::InjectStreamFault(fault, 1);  // the dated copy taken first is written whole
    EXPECT_EQ(RegisterOver(text), "");
    platform::ClearStreamFaults();
    EXPECT_EQ(ReadFile(cfg), text);
    std::vector<std::string> names = testsupport::ListFolder(dir / "FS9");
    std::erase_if(names, [](const std::string& name) { return IsSceneryBackupName(name); });
    EXPECT_EQ(names, std::vector<std::string>{"SCENERY.CFG"}) << "no scratch file left";
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.rfind("Error writing SCENERY.CFG file.", 0), 0u);
    EXPECT_EQ(view.messages[0].caption, "Warning");
  }
  // Without its dated copy on the disk, SCENERY.CFG is not changed at all.
  view.messages.clear();
  platform::InjectStreamFault(platform::StreamFault::Write, 0);
  EXPECT_EQ(RegisterOver(text), "");
  platform::ClearStreamFaults();
  EXPECT_EQ(ReadFile(cfg), text);
  ASSERT_EQ(view.messages.size(), 2u);  // the copy's, then why the area was not added
  EXPECT_NE(view.messages[1].text.find("no dated copy"), std::string::npos);
  // Nothing was recorded as present: the next install appends the area.
  EXPECT_EQ(RegisterOver(text), Appended(2, 6));
}
