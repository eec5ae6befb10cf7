// Each record's result in the operation's outcome: failed steps told once per step, nothing to do
// silent, several records over one file, and a plan that foresees what the run would be refused.
#include "engine_fixture.h"
#include "patch/audit/operation_plan.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "patch/engine/scenery_files.h"
#include "platform/file_layers/file_services.h"
#include "platform/files.h"

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

using OutcomeTest = EngineFixture;

std::vector<RecordResult> Results(const OperationOutcome& outcome, const std::string& listFile) {
  std::vector<RecordResult> results;
  for (const RecordOutcome& entry : outcome.Entries())
    if (entry.listFile == listFile) results.push_back(entry.result);
  return results;
}

TEST_F(OutcomeTest, FailedStepsAreToldOnceEachAndNothingToDoStaysSilent) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/a.bgl"), "a");
  WriteFile(Fs("Scenery/b.bgl"), "b");
  WriteFile(Fs("Scenery/c.bgl"), "c");
  WriteFile(Fs("Scenery/Locked.BGL"), "locked");
  testsupport::MakeReadOnly(Fs("Scenery/Locked.BGL"));
  Write("CREATE.OV", "Scenery\\New\\Deep\r\nScenery\\New\r\nScenery\r\n");
  WriteList("REN.OV", {{"Scenery\\a.bgl", "Gone\\a.off"},  // its folder is missing
                       {"Scenery\\b.bgl", "Gone\\b.off"},
                       {"Scenery\\c.bgl", "Scenery\\c.off"},
                       {"Scenery\\none.bgl", "Scenery\\none.off"}});
  WriteList("BAK.OV", {{"Scenery\\Typo", "TYPO_BAK"}});
  WriteList("REM.OV", {{"Scenery\\Locked"}, {"Scenery\\Never"}});

  const OperationOutcome installed = InstallPatch(context, view);
  using enum RecordResult;
  EXPECT_EQ(Results(installed, "CREATE.OV"), (std::vector{Failed, Done, NothingToDo}));
  EXPECT_EQ(Results(installed, "REN.OV"), (std::vector{Failed, Failed, Done, NothingToDo}));
  EXPECT_EQ(Results(installed, "BAK.OV"), (std::vector{Skipped}));  // silently: neither form
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text,
            "These folders could not be created:\n\n" + Fs("Scenery\\New\\Deep") +
                "\n\nA folder is made only inside one that exists: check that "
                "CREATE.OV names each parent folder first, and that the folder "
                "can be written.");
  EXPECT_EQ(view.messages[1].text, "These files could not be renamed or deleted:\n\n" +
                                       Fs("Scenery\\a.bgl") + " to " + Fs("Gone\\a.off") + "\n" +
                                       Fs("Scenery\\b.bgl") + " to " + Fs("Gone\\b.off") + "\n\n" +
                                       kLeftAsTheyWereText);
  EXPECT_EQ(installed.Failures(), 3) << "one per failed record, the warnings claimed by them";

  view.messages.clear();
  const OperationOutcome removed = RemovePatch(context, view);
  EXPECT_EQ(Results(removed, "REM.OV"), (std::vector{Failed, NothingToDo}));
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "These files could not be deleted:\n\n" +
                                       Fs("Scenery\\Locked.BGL") + "\n\n" + kLeftAsTheyWereText);
  EXPECT_EQ(ReadFile(Fs("Scenery/c.bgl")), "c");

  // A second removal finds nothing left to rename back: nothing to do, not a failed deletion.
  view.messages.clear();
  WriteList("REM.OV", {});
  const OperationOutcome again = RemovePatch(context, view);
  EXPECT_FALSE(again.Failed());
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(OutcomeTest, SeveralRecordsOverOneFileInstallInListOrderAndComeOutAgain) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/Area.bgl"), "original");
  Write("NEW_01.BGL", "first replacement");
  Write("NEW_03.BGL", "last replacement");  // NEW_02.BGL is missing
  WriteList("BAK.OV", {{"Scenery\\Area", "AREA_BAK"}});
  WriteList("INST.OV", {{"Scenery\\Area", "NEW_01", "Scenery\\Area"},
                        {"Scenery\\Area", "NEW_02", "Scenery\\Area"},
                        {"Scenery\\Area", "NEW_03", "Scenery\\Area"}});
  for (int run = 0; run < 2; ++run) {
    view.messages.clear();
    const OperationOutcome installed = InstallPatch(context, view);
    EXPECT_EQ(ReadFile(Fs("Scenery/Area.bgl")), "last replacement");
    EXPECT_EQ(ReadFile(App("AREA_BAK.BGL")), "original");
    ASSERT_EQ(view.messages.size(), 1u) << "only the missing replacement is told";
    EXPECT_EQ(view.messages[0].text.rfind("Error opening file " + App("NEW_02.BGL"), 0), 0u);
    EXPECT_EQ(installed.Failures(), 1);
  }
  view.messages.clear();
  EXPECT_FALSE(RemovePatch(context, view).Failed());
  EXPECT_EQ(ReadFile(Fs("Scenery/Area.bgl")), "original");
}

// The host's services, except that one folder refuses every change (a read-only folder to a user
// who is not root).
class FolderRefusingChanges : public platform::FileServices {
public:
  explicit FolderRefusingChanges(std::string folder) : folder_(std::move(folder)) {}
  bool PathExists(const std::string& path) override { return host_.PathExists(path); }
  bool IsFolder(const std::string& path) override { return host_.IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return host_.IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return !SameFileName(folder, folder_);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return host_.FileSize(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return host_.FolderEntryNames(folder);
  }
  bool CreateFolder(const std::string& path) override { return host_.CreateFolder(path); }
  bool RemoveFile(const std::string& path) override { return host_.RemoveFile(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return host_.MovePath(from, to);
  }
  bool ReplaceFileWith(const std::string& from, const std::string& to) override {
    return host_.ReplaceFileWith(from, to);
  }
  FILE* OpenStream(const std::string& path, const char* mode) override {
    return host_.OpenStream(path, mode);
  }

private:
  platform::FileServices& host_ = platform::HostFileServices();
  std::string folder_;
};

TEST_F(OutcomeTest, PlanForeseesAFolderThatRefusesChangesAndListsSkippedRecords) {
  testsupport::MakeDirs(Fs("Scenery"));
  WriteFile(Fs("Scenery/Area.bgl"), "original");
  Write("NEW_AREA.BGL", "replacement");
  WriteList("BAK.OV", {{"Scenery\\Area", "AREA_BAK"}, {"Scenery\\Typo", "TYPO_BAK"}});
  WriteList("INST.OV", {{"Scenery\\Area", "NEW_AREA", "Scenery\\Area"}});

  FolderRefusingChanges disk(context.m_strAppDir);
  platform::ScopedFileServices readOnlyPatchFolder(disk);
  const OperationPlan plan = PlanOperation(context, true);
  ASSERT_EQ(plan.problems.size(), 2u);
  EXPECT_EQ(plan.problems[0].rfind("Warning: Error opening file " + App("AREA_BAK.BGL"), 0), 0u);
  EXPECT_EQ(plan.problems[1].rfind("Warning: These files were not replaced", 0), 0u);
  EXPECT_TRUE(plan.outcome.Failed());
  EXPECT_EQ(plan.skipped,
            std::vector<std::string>{"BAK.OV line 2: will be skipped: " + Fs("Scenery\\Typo") +
                                     " (neither " + Fs("Scenery\\Typo.BGL") +
                                     " nor its .XXX form exists)"});
}

}  // namespace
