// An install or removal that a foreseeable cause would leave half done is refused before its first
// change, with one "Warning" naming the cause, as its plan foresaw; a file held only for a moment
// is waited for and the run completes.
#include "dialog_fixture.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "patch/audit/operation_plan.h"
#include "patch/context/run_obstacles.h"
#include "platform/running_programs.h"
#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;

// Every file and folder under `root`: relative name -> content ("<dir>" for a folder). The lock
// file that the change lock leaves is no change of the run's.
std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(testsupport::HostPath(root))) {
    const std::string name = entry.path().lexically_relative(testsupport::HostPath(root)).string();
    if (entry.path().filename() == "OVPATCH.LCK") continue;
    tree[name] = entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string());
  }
  return tree;
}

using Started = std::unique_ptr<testsupport::ChildProcess>;

}  // namespace

class RunRefusalTest : public DialogFixture {
protected:
  const std::string area = fsDir + "\\Scenery\\World\\AREA.BGL";

  // The patch folder and the FS2004 folder as a fresh start finds them, the patch removed.
  void Fresh() {
    for (const auto& entry : fs::directory_iterator(testsupport::HostPath(patchDir)))
      fs::remove_all(entry.path());
    fs::remove_all(testsupport::HostPath(fsDir));
    WriteFs2004();
    WritePatch();
    WriteSettings("Fs2004=" + fsDir + "\r\nStatus=0\r\n");
  }

  // Our program holding `file` for `milliseconds` (0: until it is ended), once it holds it.
  Started Holder(const std::string& file, const char* milliseconds) {
    const std::string ready = dir / "HELD";
    fs::remove(testsupport::HostPath(ready));
    auto holder = std::make_unique<testsupport::ChildProcess>(
        OVPATCH_BUSY_PROGRAM_PATH, std::vector<std::string>{"hold", file, milliseconds, "ready", ready});
    EXPECT_TRUE(testsupport::WaitForFile(ready, 10));
    return holder;
  }

  // Our program copied to FS9.EXE in the FS2004 folder; started by the cause's `start`.
  Started RunFs9() {
    auto running = std::make_unique<testsupport::ChildProcess>(
        testsupport::HostPath(fsDir + "\\FS9.EXE"), std::vector<std::string>{});
    for (int i = 0; i < 250 && !platform::ProgramFileRunning(fsDir + "\\FS9.EXE"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return running;
  }
};

TEST_F(RunRefusalTest, EachCauseRefusesApplyAndRemovalBeforeAnyChange) {
  const struct {
    const char* what;
    std::function<void()> prepare;   // changes to the folders before the "before" picture
    std::function<Started()> start;  // what holds or runs while the box is clicked
    std::vector<std::string> causeWords;  // empty: the run is not refused
  } causes[] = {
      {"the patch folder cannot take its log",
       [&] {
         fs::remove(testsupport::HostPath(patchDir + "\\OVPATCH.LOG"));
         testsupport::MakeDirs(patchDir + "\\OVPATCH.LOG");
       },
       [] { return Started(); },
       {"OVPATCH.LOG: a folder of that name is in the way"}},
      {"FS2004 is running",
       [&] {
         fs::copy_file(OVPATCH_BUSY_PROGRAM_PATH, testsupport::HostPath(fsDir + "\\FS9.EXE"));
         fs::permissions(testsupport::HostPath(fsDir + "\\FS9.EXE"), fs::perms::owner_all);
       },
       [&] { return RunFs9(); },
       {"FS2004 is running: close it, then try again."}},
      {"a file held longer than the wait",
       [] {},
       [&] { return Holder(area, "0"); },
       {"in use by another program", "AREA.BGL"}},
      {"a file held for a moment", [] {}, [&] { return Holder(area, "400"); }, {}},
  };
  for (const auto& cause : causes) {
    for (const bool install : {true, false}) {
      SCOPED_TRACE(std::string(cause.what) + (install ? ", install" : ", removal"));
      Fresh();
      backend.messageBoxes.clear();
      std::vector<DialogStep> steps;
      if (!install) steps.push_back([](HeadlessWindow& w, CPatchDlg&) { w.Click(IDC_APPLY_PATCH); });
      steps.push_back([&](HeadlessWindow& w, CPatchDlg& d) {
        ASSERT_TRUE(backend.messageBoxes.empty());
        cause.prepare();
        const auto before = std::pair(Tree(patchDir), Tree(fsDir));
        const int tickBefore = w.GetCheck(IDC_APPLY_PATCH);
        Started running = cause.start();
        const bool refused = !cause.causeWords.empty();
        std::string foreseen;  // what the plan says beforehand
        if (refused) foreseen = RunObstaclesText(PlanOperation(d.Context(), install).obstacles, install);
        w.Click(IDC_APPLY_PATCH);
        running.reset();
        if (!refused) {
          EXPECT_NE(d.LastOutcome(), nullptr);
          EXPECT_TRUE(backend.messageBoxes.empty());
          EXPECT_EQ(testsupport::ReadFile(area), install ? "new" : "old");
          return;
        }
        EXPECT_EQ(d.LastOutcome(), nullptr);
        EXPECT_EQ(w.GetCheck(IDC_APPLY_PATCH), tickBefore) << "the tick is put back";
        EXPECT_EQ(std::pair(Tree(patchDir), Tree(fsDir)), before) << "nothing changed";
        ASSERT_EQ(Captions(), std::vector<std::string>{"Warning"});
        const std::string& told = backend.messageBoxes[0].text;
        for (const std::string& words : cause.causeWords)
          EXPECT_NE(told.find(words), std::string::npos) << told;
        EXPECT_EQ(foreseen, told) << "the plan says the same";
      });
      RunDialog(std::move(steps));
    }
  }
}
