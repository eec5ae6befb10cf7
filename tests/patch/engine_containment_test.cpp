// Names in the list files stay inside the folder they are relative to: a record that climbs out
// with
// "..", is absolute or carries a drive letter is skipped with a warning naming its file and line.
#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"

using testsupport::WriteFile;

using ContainmentTest = EngineFixture;

TEST_F(ContainmentTest, NamesOutsideTheirFolderAreSkippedWithAWarning) {
  testsupport::MakeDirs(Fs("Scenery"));
  testsupport::MakeDirs(dir / "Outside");
  WriteFile(dir / "Outside/victim.bgl", "not the patch's");
  WriteFile(dir / "Outside/victim.BGL.keep", "not the patch's either");
  WriteFile(Fs("SCENERY.CFG"), "[General]\r\n");
  WriteFile(Fs("Scenery/Airport.bgl"), "original airport");
  WriteFile(App("NEW_AP.BGL"), "patched airport");

  Write("CREATE.OV", "Scenery\\OV\r\n..\\Outside\\NewFolder\r\n");
  WriteList("REN.OV", {{"..\\Outside\\victim.bgl", "Scenery\\moved.bgl"},
                       {"PATH\\..\\Outside\\victim.bgl", "PATH\\victim.off"},
                       {"Scenery\\..", "Elsewhere"}});  // would move the FS2004 folder itself
  WriteList("REM.OV", {{"\\Outside\\victim"}, {"C:\\victim"}});
  WriteList("BAK.OV", {{"Scenery\\Airport", "..\\..\\Outside\\victim"}});
  WriteList("INST.OV", {{"Scenery\\Airport", "NEW_AP", "Scenery\\..\\..\\Outside\\victim"}});
  const auto outside = Tree(dir / "Outside");

  InstallPatch(context, view);
  RemovePatch(context, view);

  EXPECT_EQ(Tree(dir / "Outside"), outside);
  EXPECT_TRUE(testsupport::DirExists(Fs("Scenery/OV")));  // the good record still ran
  EXPECT_FALSE(testsupport::DirExists(dir / "Elsewhere"));
  EXPECT_EQ(testsupport::ReadFile(Fs("Scenery/Airport.bgl")), "original airport");
  std::vector<std::string> places;
  for (const auto& message : view.messages) {
    EXPECT_EQ(message.caption, "Warning");
    places.push_back(message.text.substr(0, message.text.find(" names a file outside")));
  }
  EXPECT_EQ(places,
            (std::vector<std::string>{"Line 2 of CREATE.OV", "Line 1 of REN.OV", "Line 2 of REN.OV",
                                      "Line 3 of REN.OV", "Line 1 of BAK.OV", "Line 1 of INST.OV",
                                      "Line 1 of BAK.OV", "Line 1 of REM.OV", "Line 2 of REM.OV",
                                      "Line 1 of REN.OV", "Line 2 of REN.OV", "Line 3 of REN.OV"}));
}
