// The change log of an install and the dated copies of SCENERY.CFG.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_fixture.h"
#include "patch/audit/operation_record.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/scenery_library.h"

namespace {

class ChangeRecordTest : public EngineFixture {};

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST_F(ChangeRecordTest, LogOfAnInstallHoldsItsChangesAndItsFailure) {
  Write("CREATE.OV", "NEWFOLDER\r\n");
  testsupport::WriteFile(Fs("SCENERY.CFG"), "[General]\r\nTitle=FS2004 World Scenery\r\n");
  testsupport::WriteFile(Fs("A.BGL"), "old a");
  testsupport::WriteFile(Fs("B.BGL"), "old b");
  Write("A_NEW.BGL", "new a");  // B_NEW.BGL is missing: the second copy fails
  WriteList("INST.OV", {{"A", "A_NEW", "A"}, {"B", "B_NEW", "B"}});
  Write("OVPATCH.LOG", "an earlier run\r\n");

  {
    OperationOutcome outcome;
    ChangeLog log(context, platform::HostDisk(), "install", outcome);
    InstallPatch(context, view, outcome, log.Disk());
  }

  ASSERT_EQ(1u, view.messages.size()) << "the dialog still shows the failure";
  const std::string text = Read("OVPATCH.LOG");
  EXPECT_EQ(0u, text.find("an earlier run\r\n")) << "appended to";
  EXPECT_EQ(1u, CountOf(text, " install started: FS2004 folder " + context.m_strFsPath));
  EXPECT_EQ(1u, CountOf(text, " created folder " + Fs("NEWFOLDER") + "\r\n"));
  EXPECT_EQ(1u, CountOf(text, " copied " + Fs("SCENERY.CFG") + " to " + Fs("SCENERY.")));
  EXPECT_EQ(1u,
            CountOf(text, " appended area Area.001 (layer 1) to " + Fs("SCENERY.CFG") + "\r\n"));
  EXPECT_EQ(1u, CountOf(text, " Installing file 1: copied " + App("A_NEW.BGL") + " over " +
                                  Fs("A.BGL") + "\r\n"));
  EXPECT_EQ(1u, CountOf(text, " message Warning: Error opening file " + App("B_NEW.BGL") +
                                  "\r\n  \r\n  The file is missing from the patch folder"));
  EXPECT_EQ(0u, CountOf(text, ".BG~")) << "scratch files are no changes of their own";
  EXPECT_EQ(1u,
            CountOf(text, " INST.OV line 2: failed: " + Fs("B.BGL") + " (the copy failed)\r\n"));
  EXPECT_TRUE(text.ends_with(" install finished: 1 failure\r\n")) << "the message is the record's";
  EXPECT_EQ(3u, CountOf(text, " wrote " + App("OVPATCH.REC") + " (the install record)\r\n"))
      << "after the folder, the area and the installed file";
  EXPECT_EQ(11u, CountOf(text, "\r\n2")) << "every line of the run starts with the date";
}

TEST_F(ChangeRecordTest, SceneryConfigCopiesRotateAtThree) {
  testsupport::WriteFile(Fs("SCENERY.CFG"), "[Area.001]\r\nLayer=1\r\n");
  for (const char* old : {"SCENERY.20200101-000001.CFG", "scenery.20200101-000002.cfg",
                          "SCENERY.20200101-000003.CFG"})
    testsupport::WriteFile(Fs(old), "old");
  testsupport::WriteFile(Fs("SCENERY.CFG.BAK"), "not one of ours");

  const std::string copy = BackupSceneryConfig(context, view);

  ASSERT_NE("", copy);
  EXPECT_EQ("[Area.001]\r\nLayer=1\r\n", testsupport::ReadFile(copy));
  std::vector<std::string> names = testsupport::ListFolder(context.m_strFsPath);
  std::erase_if(names, [](const std::string& name) { return !IsSceneryBackupName(name); });
  const std::string newName =
      copy.substr(copy.size() - std::string("SCENERY.yyyymmdd-hhmmss.CFG").size());
  std::vector<std::string> expected = {"SCENERY.20200101-000003.CFG", "scenery.20200101-000002.cfg",
                                       newName};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, names) << "the oldest went, whatever the letter case";
  EXPECT_TRUE(testsupport::FileExists(Fs("SCENERY.CFG.BAK")));
  EXPECT_TRUE(view.messages.empty());
}

}  // namespace
