#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"

using testsupport::DirExists;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using Texts = std::vector<std::string>;

using InstallStepsTest = EngineFixture;

TEST_F(InstallStepsTest, CreateFoldersMakesOneLevelPerRecord) {
  WriteFile(Fs("Taken"), "a file");
  Write("CREATE.OV", "Scenery\\OV\\Deep first\r\nScenery remark\r\nScenery\\OV\r\nTaken\r\n\r\nLater\r\n");
  CreateFolders(context, view);
  EXPECT_TRUE(DirExists(Fs("Scenery")));
  EXPECT_TRUE(DirExists(Fs("Scenery/OV")));
  EXPECT_FALSE(DirExists(Fs("Scenery/OV/Deep")));  // listed before its parent existed
  EXPECT_EQ(ReadFile(Fs("Taken")), "a file");
  EXPECT_FALSE(DirExists(Fs("Later")));
  EXPECT_TRUE(view.statusHistory.empty());
}

TEST_F(InstallStepsTest, RenameForwardMovesDeletesOrLeavesAlone) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/move.bgl"), "move");
  WriteFile(Fs("Scenery/old.bgl"), "old");
  WriteFile(Fs("Scenery/old.off"), "kept under second name");
  WriteFile(dir / "Product/Data.bgl", "product");
  WriteFile(Fs("Scenery/Same.bgl"), "same file");
  WriteList("REN.OV", {{"Scenery\\MOVE.BGL", "Scenery\\move.off"},
                       {"Scenery\\old.bgl", "Scenery\\old.off"},
                       {"Scenery\\none.bgl", "Scenery\\none.off"},
                       {"PATH\\data.bgl", "PATH\\Data.off"},
                       {"Scenery\\Same.bgl", "SCENERY\\\\same.BGL"},
                       {"Scenery\\old.off"}});  // a missing second name must not delete anything
  RenameForward(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/move.off")), "move");
  EXPECT_FALSE(FileExists(Fs("Scenery/move.bgl")));
  EXPECT_FALSE(FileExists(Fs("Scenery/old.bgl")));  // the second name wins
  EXPECT_EQ(ReadFile(Fs("Scenery/old.off")), "kept under second name");
  EXPECT_FALSE(FileExists(Fs("Scenery/none.off")));
  EXPECT_EQ(ReadFile(dir / "Product/Data.off"), "product");
  EXPECT_EQ(ReadFile(Fs("Scenery/Same.bgl")), "same file");
}

TEST_F(InstallStepsTest, BackupFilesTakesTheFormThatInstallWillWrite) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/Active.BGL"), "active");
  WriteFile(Fs("Scenery/Disabled.xxx"), "disabled");
  WriteFile(Fs("Scenery/Both.BGL"), "both active");
  WriteFile(Fs("Scenery/Both.XXX"), "both disabled");
  WriteFile(Fs("Scenery/Kept.BGL"), "kept");
  WriteFile(App("KEPT_BAK.BGL"), "kept");
  WriteList("BAK.OV", {{"Scenery\\Active", "ACTIVE_BAK"},
                       {"Scenery\\Kept", "KEPT_BAK"},
                       {"Scenery\\Nowhere", "NOWHERE_BAK"},
                       {"Scenery\\Disabled", "DISABLED_BAK"},
                       {"Scenery\\Both", "BOTH_BAK"}});
  BackupFiles(context, view);
  EXPECT_EQ(ReadFile(App("ACTIVE_BAK.BGL")), "active");
  EXPECT_EQ(ReadFile(App("KEPT_BAK.BGL")), "kept");  // holds the file already: not taken again
  EXPECT_FALSE(FileExists(App("NOWHERE_BAK.BGL")));
  EXPECT_EQ(ReadFile(App("DISABLED_BAK.BGL")), "disabled");
  EXPECT_EQ(ReadFile(App("BOTH_BAK.BGL")), "both disabled");
  // Skipped records show nothing and do not count.
  EXPECT_EQ(view.statusHistory, (Texts{"Backing up file 1", "Backing up file 2", "Backing up file 3"}));
  EXPECT_EQ(view.pauses, (std::vector<unsigned>{50, 50, 50}));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(InstallStepsTest, InstallFilesWritesTheFormOfTheFirstColumnsFile) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/Active.bgl"), "old active");
  WriteFile(Fs("Scenery/Both.BGL"), "both active");
  WriteFile(Fs("Scenery/Both.XXX"), "both disabled");
  WriteFile(Fs("Scenery/Gate.XXX"), "gate");
  for (const char* name : {"NEW_A.BGL", "NEW_B.BGL", "NEW_C.BGL", "NEW_D.BGL"}) WriteFile(App(name), name);
  WriteList("INST.OV", {{"Scenery\\Active", "new_a", "Scenery\\Active"},
                        {"Scenery\\Nowhere", "NEW_D", "Scenery\\Nowhere"},
                        {"Scenery\\Both", "NEW_B", "Scenery\\Both"},
                        {"Scenery\\Gate", "NEW_C", "Scenery\\Other"},
                        {"Scenery\\Active", "MISSING", "Scenery\\Active"},
                        {"Scenery\\Both", "NEW_D", "Scenery\\Both"}});
  InstallFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Active.bgl")), "NEW_A.BGL");  // kept when the source is missing
  EXPECT_FALSE(FileExists(Fs("Scenery/Nowhere.BGL")));
  EXPECT_EQ(ReadFile(Fs("Scenery/Both.BGL")), "both active");
  EXPECT_EQ(ReadFile(Fs("Scenery/Both.XXX")), "NEW_D.BGL");  // the copy after the failure ran
  EXPECT_EQ(ReadFile(Fs("Scenery/Other.XXX")), "NEW_C.BGL");
  EXPECT_EQ(view.statusHistory, (Texts{"Installing file 1", "Installing file 2", "Installing file 3",
                                       "Installing file 4", "Installing file 5"}));
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Error opening file " + App("MISSING.BGL") +
                                       "\n\nThe file is missing from the patch folder.");
  EXPECT_EQ(view.messages[0].caption, "Warning");
}

TEST_F(InstallStepsTest, NoListFilesMeansNothingHappens) {
  WriteFile(Fs("SCENERY.CFG"), "[General]\r\n");
  const auto before = Tree(dir.path());
  InstallPatch(context, view);
  EXPECT_EQ(Tree(dir.path()), before);
  EXPECT_TRUE(view.statusHistory.empty());
  EXPECT_TRUE(view.messages.empty());
}
