#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using Texts = std::vector<std::string>;

using RemovalStepsTest = EngineFixture;

TEST_F(RemovalStepsTest, RestoreFilesWritesTheCurrentFormAndGoesOnAfterAFailure) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/NoBackup.BGL"), "no backup");
  WriteFile(Fs("Scenery/Both.BGL"), "both active");
  WriteFile(Fs("Scenery/Both.XXX"), "both disabled");
  WriteFile(Fs("Scenery/Off.XXX"), "patched");
  WriteFile(App("BOTH_BAK.BGL"), "both backup");
  WriteFile(App("OFF_BAK.BGL"), "off backup");
  WriteFile(App("GONE_BAK.BGL"), "gone backup");
  WriteList("BAK.OV", {{"Scenery\\NoBackup", "NOBACKUP_BAK"},
                       {"Scenery\\Gone", "GONE_BAK"},
                       {"Scenery\\Both", "BOTH_BAK"},
                       {"Scenery\\Off", "OFF_BAK"}});
  RestoreFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/NoBackup.BGL")), "no backup");
  EXPECT_FALSE(FileExists(Fs("Scenery/Gone.BGL")));
  EXPECT_EQ(ReadFile(Fs("Scenery/Both.BGL")), "both active");
  EXPECT_EQ(ReadFile(Fs("Scenery/Both.XXX")), "both backup");
  EXPECT_EQ(ReadFile(Fs("Scenery/Off.XXX")), "off backup");
  EXPECT_FALSE(FileExists(Fs("Scenery/Off.BGL")));
  EXPECT_EQ(ReadFile(App("OFF_BAK.BGL")), "off backup");  // backups stay
  EXPECT_EQ(view.statusHistory, (Texts{"Restoring file 1", "Restoring file 2", "Restoring file 3"}));
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].caption, "Warning");
}

TEST_F(RemovalStepsTest, RemoveFilesDeletesBothForms) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/Both.bgl"), "a");
  WriteFile(Fs("Scenery/Both.xxx"), "b");
  WriteFile(Fs("Scenery/Keep.BGL"), "keep");
  WriteList("REM.OV", {{"Scenery\\BOTH"}, {"Scenery\\Nowhere"}});
  RemoveFiles(context, view);
  EXPECT_FALSE(FileExists(Fs("Scenery/Both.bgl")));
  EXPECT_FALSE(FileExists(Fs("Scenery/Both.xxx")));
  EXPECT_EQ(ReadFile(Fs("Scenery/Keep.BGL")), "keep");
}

TEST_F(RemovalStepsTest, RenameBackLetsTheFirstNameWin) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/a.bgl"), "first");
  WriteFile(Fs("Scenery/a.off"), "second");
  WriteFile(Fs("Scenery/b.bgl"), "never renamed");
  WriteFile(Fs("Scenery/c.off"), "renamed");
  WriteFile(Fs("Scenery/Same.bgl"), "same file");
  WriteList("REN.OV", {{"Scenery\\a.bgl", "Scenery\\a.off"},
                       {"Scenery\\b.bgl", "Scenery\\b.off"},
                       {"Scenery\\c.bgl", "Scenery\\c.off"},
                       {"Scenery/same.BGL", "SCENERY\\Same.bgl"},
                       {"Scenery\\gone.bgl"}});  // a missing second name must not move the tree
  RenameBack(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/a.bgl")), "first");
  EXPECT_FALSE(FileExists(Fs("Scenery/a.off")));
  EXPECT_EQ(ReadFile(Fs("Scenery/b.bgl")), "never renamed");
  EXPECT_EQ(ReadFile(Fs("Scenery/c.bgl")), "renamed");
  EXPECT_FALSE(FileExists(Fs("Scenery/c.off")));
  EXPECT_EQ(ReadFile(Fs("Scenery/Same.bgl")), "same file");
  EXPECT_TRUE(testsupport::DirExists(Fs("")));
  EXPECT_FALSE(FileExists(Fs("Scenery/gone.bgl")));
}

// An updated patch that no longer lists a rename: the removal still undoes what the install record
// says the earlier version renamed.
TEST_F(RemovalStepsTest, RenamesOfAnEarlierVersionAreUndoneFromTheRecord) {
  WriteFile(Fs("Mesh.BGL"), "mesh");
  WriteList("REN.OV", {{"Mesh.BGL", "Mesh.OFF"}});
  RenameForward(context, view);
  ASSERT_EQ(ReadFile(Fs("Mesh.OFF")), "mesh");
  Write("REN.OV", "");
  RenameBack(context, view);
  EXPECT_EQ(ReadFile(Fs("Mesh.BGL")), "mesh");
  EXPECT_FALSE(FileExists(Fs("Mesh.OFF")));
  EXPECT_TRUE(view.messages.empty());
}
