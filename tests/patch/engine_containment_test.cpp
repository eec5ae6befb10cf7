// Names in the list files stay inside the folder they are relative to: a record that climbs out
// with "..", is absolute, carries a drive letter or names the folder itself is skipped with a
// warning naming its file and line, whatever form the folders are written in.
#include <algorithm>

#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"

using testsupport::WriteFile;

using ContainmentTest = EngineFixture;

namespace {

// The FS2004, product and patch folders under `base`, written in one of the forms Windows accepts.
struct FolderForm {
  const char* what;
  std::string fs;
  std::string product;
  std::string app;
};

std::vector<FolderForm> FolderForms(const std::string& base) {
  std::string forward = base;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  return {
      {"plain", base + "\\FS9", base + "\\Product\\", base + "\\App"},
      {"trailing separator", base + "\\FS9\\", base + "\\Product\\", base + "\\App\\"},
      {"doubled separators", base + "\\\\FS9\\\\", base + "\\\\Product\\\\", base + "\\\\App\\\\"},
      {"forward slashes", forward + "/FS9/", forward + "/Product/", forward + "/App/"},
      {"'..' inside", base + "\\Outside\\..\\FS9\\", base + "\\FS9\\..\\Product\\",
       base + "\\App\\..\\App"},
  };
}

}  // namespace

TEST_F(ContainmentTest, NamesOutsideTheirFolderAreSkippedWhateverFormTheFolderHas) {
  Write("CREATE.OV",
        "Scenery\\OV\r\nScenery/./Forward\r\nScenery\\OV\\..\\Up\r\n"  // inside
        "..\\Outside\\NewFolder\r\n\\Outside\r\nC:Outside\r\nScenery\\..\r\n...\\Outside\r\n");
  WriteList("REN.OV", {{"PATH\\product.cfg", "PATH\\product.off"},
                       {"PATH\\..\\Outside\\victim.bgl", "PATH\\victim.off"},
                       {"PATH", "Elsewhere"},  // would move the product folder itself
                       {". .\\Outside\\victim.bgl", "Scenery\\moved.bgl"},
                       {"Scenery\\..", "Elsewhere"}});  // would move the FS2004 folder itself
  WriteList("BAK.OV",
            {{"Scenery\\Airport", "Airport_backup"}, {"Scenery\\Airport", "..\\Outside\\victim"}});
  WriteList("INST.OV", {{"Scenery\\Airport", "NEW_AP", "Scenery\\Airport"},
                        {"Scenery\\Airport", "NEW_AP", "Scenery\\..\\..\\Outside\\victim"}});
  WriteList("REM.OV", {{"Scenery\\Stale"}, {"\\Outside\\victim"}, {"C:\\victim"}});
  const std::vector<std::string> expectedPlaces = {
      "Line 4 of CREATE.OV", "Line 5 of CREATE.OV", "Line 6 of CREATE.OV", "Line 7 of CREATE.OV",
      "Line 8 of CREATE.OV", "Line 2 of REN.OV",    "Line 3 of REN.OV",    "Line 4 of REN.OV",
      "Line 5 of REN.OV",    "Line 2 of BAK.OV",    "Line 2 of INST.OV",   "Line 2 of BAK.OV",
      "Line 2 of REM.OV",    "Line 3 of REM.OV",    "Line 2 of REN.OV",    "Line 3 of REN.OV",
      "Line 4 of REN.OV",    "Line 5 of REN.OV"};

  const size_t formCount = FolderForms("").size();
  for (size_t n = 0; n < formCount; ++n) {
    const std::string base = dir / ("form" + std::to_string(n));
    const FolderForm form = FolderForms(base)[n];
    SCOPED_TRACE(form.what);
    testsupport::MakeDirs(base + "\\FS9\\Scenery");
    testsupport::MakeDirs(base + "\\Product");
    testsupport::MakeDirs(base + "\\App");
    testsupport::MakeDirs(base + "\\Outside");
    WriteFile(base + "\\Outside\\victim.bgl", "not the patch's");
    WriteFile(base + "\\FS9\\SCENERY.CFG", "[General]\r\n");
    WriteFile(base + "\\FS9\\Scenery\\Airport.bgl", "original airport");
    WriteFile(base + "\\FS9\\Scenery\\Stale.bgl", "stale");
    WriteFile(base + "\\Product\\product.cfg", "product");
    WriteFile(base + "\\App\\NEW_AP.BGL", "patched airport");
    const auto outside = Tree(base + "\\Outside");
    context.m_strFsPath = form.fs;
    context.m_strProductPath = form.product;
    context.m_strAppDir = form.app;
    g_sceneryAreaTable = SceneryAreaTable{};
    g_nHighestLayer = 0;
    view.messages.clear();

    InstallPatch(context, view);
    EXPECT_EQ(testsupport::ReadFile(base + "\\FS9\\Scenery\\Airport.bgl"), "patched airport");
    EXPECT_TRUE(testsupport::FileExists(base + "\\Product\\product.off"));
    RemovePatch(context, view);

    EXPECT_EQ(Tree(base + "\\Outside"), outside);
    for (const char* folder : {"OV", "Forward", "Up"})
      EXPECT_TRUE(testsupport::DirExists(base + "\\FS9\\Scenery\\" + folder)) << folder;
    EXPECT_FALSE(testsupport::DirExists(base + "\\Elsewhere"));
    EXPECT_EQ(testsupport::ReadFile(base + "\\FS9\\Scenery\\Airport.bgl"), "original airport");
    EXPECT_EQ(testsupport::ReadFile(base + "\\App\\Airport_backup.BGL"), "original airport");
    EXPECT_EQ(testsupport::ReadFile(base + "\\Product\\product.cfg"), "product");
    EXPECT_FALSE(testsupport::FileExists(base + "\\FS9\\Scenery\\Stale.bgl"));
    std::vector<std::string> places;
    for (const auto& message : view.messages) {
      EXPECT_EQ(message.caption, "Warning");
      places.push_back(message.text.substr(0, message.text.find(" names a file outside")));
    }
    EXPECT_EQ(places, expectedPlaces);
  }
}
