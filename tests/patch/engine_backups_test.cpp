// Backups that protect the originals: the install overwrites a BAK.OV file only while its backup
// holds it, and backups and restores are decided by content.
#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "platform/files.h"

using testsupport::ReadFile;
using testsupport::WriteFile;

class BackupsTest : public EngineFixture {
protected:
  void SetUp() override {
    EngineFixture::SetUp();
    testsupport::MakeDirs(Fs("Scenery"));
    WriteFile(Fs("Scenery/Airport.bgl"), "original airport");
    WriteFile(Fs("Scenery/Objects.XXX"), "original objects");
    WriteFile(App("NEW_AP.BGL"), "patched airport");
    WriteFile(App("NEW_OBJ.BGL"), "patched objects");
    WriteList("BAK.OV", {{"Scenery\\Airport", "AP_BAK"}, {"Scenery\\Objects", "OBJ_BAK"}});
    WriteList("INST.OV", {{"Scenery\\Airport", "NEW_AP", "Scenery\\Airport"},
                          {"Scenery\\Objects", "NEW_OBJ", "Scenery\\Objects"}});
  }
  void Install() {
    BackupFiles(context, view);
    InstallFiles(context, view);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& message : view.messages) captions.push_back(message.caption);
    return captions;
  }
};

TEST_F(BackupsTest, AFailedBackupKeepsItsOriginalFromBeingOverwritten) {
  WriteFile(App("OBJ_BAK.BGL"), "original objects");          // taken by an earlier install
  platform::InjectStreamFault(platform::StreamFault::Write);  // the patch folder's disk is full
  BackupFiles(context, view);
  platform::ClearStreamFaults();
  InstallFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "original airport");
  EXPECT_FALSE(testsupport::FileExists(App("AP_BAK.BGL")));
  EXPECT_EQ(ReadFile(Fs("Scenery/Objects.XXX")), "patched objects");  // its backup holds it
  // The full disk takes the install record's write too, and says so.
  ASSERT_EQ(view.messages.size(), 3u);
  EXPECT_EQ(view.messages[0].text.rfind("Error writing file ", 0), 0u);
  EXPECT_EQ(view.messages[1].text.rfind("The install record " + App("OVPATCH.REC"), 0), 0u);
  EXPECT_NE(view.messages[2].text.find(Fs("Scenery\\Airport.BGL")), std::string::npos);
  EXPECT_EQ(view.messages[2].text.find("Objects"), std::string::npos);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Warning", "Warning", "Warning"}));

  // The removal puts back what was replaced and leaves the never-replaced file alone, silently.
  view.messages.clear();
  RestoreFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "original airport");
  EXPECT_EQ(ReadFile(Fs("Scenery/Objects.XXX")), "original objects");
  EXPECT_TRUE(view.messages.empty());
}

// One install reads a product file to back it up, and not again to check it before it is replaced,
// while the file keeps its version.
TEST_F(BackupsTest, OneInstallReadsEachProductFileOnceWhileItKeepsItsVersion) {
  VersionedDisk disk;
  OperationOutcome outcome;
  OperationRun run(context, view, disk, ReadPatchLists(context, disk), outcome);
  BackupFiles(run);
  InstallFiles(run);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(ReadFile(App("AP_BAK.BGL")), "original airport");
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "patched airport");
  EXPECT_EQ(ReadFile(Fs("Scenery/Objects.XXX")), "patched objects");
  // The backup's copy read it (not through this count); nothing read it after.
  EXPECT_EQ(disk.TimesOpened(Fs("Scenery\\Airport.BGL")), 0);
}

// A recorded backup that has been lost is taken again; while it cannot be, its original stays.
TEST_F(BackupsTest, ALostRecordedBackupThatCannotBeTakenAgainKeepsItsOriginal) {
  Install();
  RestoreFiles(context, view);
  platform::RemoveFile(App("AP_BAK.BGL"));
  testsupport::MakeDirs(App("AP_BAK.BGL"));  // a folder where the backup is to be written
  Install();
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "original airport");
  EXPECT_EQ(ReadFile(Fs("Scenery/Objects.XXX")), "patched objects");  // its backup holds it
}

TEST_F(BackupsTest, ByteOrderMarkedListsAreReadAsWithout) {
  Write("BAK.OV", "\xEF\xBB\xBF" + testsupport::ColumnLine({"Scenery\\Airport", "AP_BAK"}));
  Install();
  EXPECT_EQ(ReadFile(App("AP_BAK.BGL")), "original airport");
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "patched airport");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(BackupsTest, AnAlreadyPatchedFileIsNeverTakenForItsOriginal) {
  Install();
  // A fresh copy of the patch folder without backups, installed over the applied patch.
  platform::RemoveFile(App("AP_BAK.BGL"));
  platform::RemoveFile(App("OBJ_BAK.BGL"));
  view.messages.clear();
  Install();
  EXPECT_FALSE(testsupport::FileExists(App("AP_BAK.BGL")));
  EXPECT_FALSE(testsupport::FileExists(App("OBJ_BAK.BGL")));
  ASSERT_EQ(view.messages.size(), 1u) << "one warning for all such files";
  EXPECT_EQ(view.messages[0].caption, "Warning");
  EXPECT_NE(view.messages[0].text.find(Fs("Scenery\\Airport.BGL")), std::string::npos);
  EXPECT_NE(view.messages[0].text.find(Fs("Scenery\\Objects.XXX")), std::string::npos);

  // With its backups there, a second install is normal and says nothing.
  WriteFile(App("AP_BAK.BGL"), "original airport");
  WriteFile(App("OBJ_BAK.BGL"), "original objects");
  view.messages.clear();
  Install();
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(ReadFile(App("AP_BAK.BGL")), "original airport");
}

TEST_F(BackupsTest, AStaleBackupIsTakenAgainAndAChangedFileIsNotRestored) {
  Install();
  RestoreFiles(context, view);
  // The product is updated after the removal: the next install backs up the update.
  WriteFile(Fs("Scenery/Airport.bgl"), "updated airport");
  Install();
  EXPECT_EQ(ReadFile(App("AP_BAK.BGL")), "updated airport");
  EXPECT_EQ(ReadFile(App("OBJ_BAK.BGL")), "original objects");
  EXPECT_TRUE(view.messages.empty());

  // Changed again while installed: the removal keeps it and says so; the other file comes back.
  WriteFile(Fs("Scenery/Airport.bgl"), "updated again");
  view.statusHistory.clear();
  RestoreFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "updated again");
  EXPECT_EQ(ReadFile(Fs("Scenery/Objects.XXX")), "original objects");
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].caption, "Warning");
  EXPECT_NE(view.messages[0].text.find(Fs("Scenery\\Airport.BGL")), std::string::npos);

  // A file that holds its backup already needs nothing.
  view.messages.clear();
  view.statusHistory.clear();
  WriteFile(Fs("Scenery/Airport.bgl"), "updated airport");
  RestoreFiles(context, view);
  EXPECT_TRUE(view.statusHistory.empty());
  EXPECT_TRUE(view.messages.empty());

  // With the install record, a file that holds neither its original nor what the install wrote
  // has changed since, whatever the patch folder holds now; without it (a patch installed before
  // the record was kept), a file with no replacement to compare with gets its backup back.
  WriteFile(Fs("Scenery/Airport.bgl"), "something else");
  platform::RemoveFile(App("NEW_AP.BGL"));
  view.messages.clear();
  RestoreFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "something else");
  ASSERT_EQ(view.messages.size(), 1u);
  view.messages.clear();
  platform::RemoveFile(App("OVPATCH.REC"));
  RestoreFiles(context, view);
  EXPECT_EQ(ReadFile(Fs("Scenery/Airport.bgl")), "updated airport");
  EXPECT_TRUE(view.messages.empty());
}
