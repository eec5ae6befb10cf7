#include <cctype>
#include <climits>
#include <set>

#include "engine_fixture.h"
#include "patch/audit/patch_verify.h"
#include "patch/engine/install_record.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "platform/file_layers/content_hash.h"
#include "platform/strings.h"

using testsupport::WriteFile;
using Tree_ = std::map<std::string, std::string>;

namespace {

std::string SceneryConfig(int areas) {
  std::string text = "[General]\r\nTitle=FS9 World Scenery\r\n";
  for (int n = 1; n <= areas; ++n)
    text += "\r\n[Area." + std::string(n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n) +
            "]\r\nTitle=Area " + std::to_string(n) + "\r\nLocal=Scenery\\Area" + std::to_string(n) +
            "\r\nLayer=" + std::to_string(n) + "\r\nActive=TRUE\r\nRequired=FALSE\r\n";
  return text;
}

const char kAppendedArea[] =
    "\r\n[Area.301]\r\nTitle=Orvane - Exclude Files For Addon Patches\r\nLocal=SCENERY\\OV_EXCLUDES\r\n"
    "Layer=301\r\nActive=TRUE\r\nRequired=FALSE\r\nRemote=\r\n";

// Names on disk match without regard to case, and a rename back writes the name as the list spells
// it: compare trees by upper-cased names, contents byte for byte.
Tree_ Folded(const Tree_& tree) {
  Tree_ folded;
  for (const auto& [name, content] : tree) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    folded[upper] = content;
  }
  return folded;
}

}  // namespace

// A realistic tree: nested folders, names in mixed case on disk, disabled files, renames inside the
// product folder and a 300-area scenery library.
class RoundTripTest : public EngineFixture {
protected:
  void SetUp() override {
    EngineFixture::SetUp();
    WriteFile(Fs("SCENERY.CFG"), SceneryConfig(300));
    testsupport::MakeDirs(Fs("Scenery/World/scenery"));
    testsupport::MakeDirs(Fs("Addon Scenery/Seattle/Scenery"));
    testsupport::MakeDirs(dir / "Product/Scenery");
    WriteFile(Fs("Scenery/World/scenery/AP_KSEA.bgl"), "original airport");
    WriteFile(Fs("Scenery/World/scenery/obj_ksea.XXX"), "original disabled objects");
    WriteFile(Fs("Addon Scenery/Seattle/Scenery/Old_Mesh.BGL"), "displaced mesh");
    WriteFile(dir / "Product/Scenery/Prod.bgl", "product scenery");
    WriteFile(App("OV_KSEA.BGL"), "patched airport");
    WriteFile(App("OV_OBJ.BGL"), "patched objects");
    WriteFile(App("OV_NEW.BGL"), "new exclusions");

    Write("CREATE.OV", "Scenery\\OV_EXCLUDES\r\nScenery\\OV_EXCLUDES\\scenery  exclusion files\r\n");
    WriteList("REN.OV", {{"Addon Scenery\\Seattle\\scenery\\OLD_MESH.BGL", "Addon Scenery\\Seattle\\Scenery\\Old_Mesh.OFF"},
                         {"PATH\\SCENERY\\prod.bgl", "PATH\\Scenery\\Prod.off"}});
    WriteList("BAK.OV", {{"Scenery\\World\\Scenery\\ap_ksea", "KSEA_BAK"},
                         {"SCENERY\\WORLD\\SCENERY\\OBJ_KSEA", "OBJ_BAK"}});
    WriteList("INST.OV", {{"Scenery\\World\\Scenery\\ap_ksea", "OV_KSEA", "Scenery\\World\\Scenery\\ap_ksea"},
                          {"SCENERY\\WORLD\\SCENERY\\OBJ_KSEA", "OV_OBJ", "SCENERY\\WORLD\\SCENERY\\OBJ_KSEA"},
                          {"Scenery\\World\\Scenery\\ap_ksea", "OV_NEW", "Scenery\\OV_EXCLUDES\\scenery\\OV_NEW"}});
    WriteList("REM.OV", {{"Scenery\\OV_EXCLUDES\\scenery\\OV_NEW"}});
  }
};

TEST_F(RoundTripTest, InstallThenRemoveRestoresTheOriginalTree) {
  const Tree_ original = Tree(dir.path());

  InstallPatch(context, view);
  // The dated copy of SCENERY.CFG taken before the area was appended (its own test is elsewhere).
  std::string copyOfConfig;
  for (const std::string& name : testsupport::ListFolder(context.m_strFsPath))
    if (IsSceneryBackupName(name)) copyOfConfig = name;
  Tree_ installed = original;
  installed["FS9/" + copyOfConfig] = original.at("FS9/SCENERY.CFG");
  installed["FS9/SCENERY.CFG"] += kAppendedArea;
  installed["FS9/Scenery/OV_EXCLUDES"] = "<dir>";
  installed["FS9/Scenery/OV_EXCLUDES/scenery"] = "<dir>";
  installed["FS9/Scenery/OV_EXCLUDES/scenery/OV_NEW.BGL"] = "new exclusions";
  installed.erase("FS9/Addon Scenery/Seattle/Scenery/Old_Mesh.BGL");
  installed["FS9/Addon Scenery/Seattle/Scenery/Old_Mesh.OFF"] = "displaced mesh";
  installed.erase("Product/Scenery/Prod.bgl");
  installed["Product/Scenery/Prod.off"] = "product scenery";
  installed["KSEA_BAK.BGL"] = "original airport";
  installed["OBJ_BAK.BGL"] = "original disabled objects";
  installed["FS9/Scenery/World/scenery/AP_KSEA.bgl"] = "patched airport";
  installed["FS9/Scenery/World/scenery/obj_ksea.XXX"] = "patched objects";
  // The install record stays in the patch folder; what it holds is the record's own test.
  const std::string record = testsupport::ReadFile(dir / "OVPATCH.REC");
  EXPECT_NE(record.find("\r\nstate=installed\r\n"), std::string::npos);
  installed["OVPATCH.REC"] = record;
  EXPECT_EQ(Folded(Tree(dir.path())), Folded(installed));
  EXPECT_EQ(view.statusHistory, (std::vector<std::string>{"Backing up file 1", "Backing up file 2",
                                                           "Installing file 1", "Installing file 2",
                                                           "Installing file 3"}));
  EXPECT_TRUE(view.messages.empty());

  InstallPatch(context, view);  // a second install changes nothing
  EXPECT_EQ(Folded(Tree(dir.path())), Folded(installed));

  RemovePatch(context, view);
  Tree_ removed = original;
  removed["FS9/" + copyOfConfig] = original.at("FS9/SCENERY.CFG");
  removed["FS9/SCENERY.CFG"] += kAppendedArea;
  removed["FS9/Scenery/OV_EXCLUDES"] = "<dir>";
  removed["FS9/Scenery/OV_EXCLUDES/scenery"] = "<dir>";
  removed["KSEA_BAK.BGL"] = "original airport";
  removed["OBJ_BAK.BGL"] = "original disabled objects";
  removed["OVPATCH.REC"] = testsupport::ReadFile(dir / "OVPATCH.REC");
  EXPECT_NE(removed["OVPATCH.REC"].find("\r\nstate=removed\r\n"), std::string::npos);
  EXPECT_EQ(Folded(Tree(dir.path())), Folded(removed));

  RemovePatch(context, view);  // a second removal changes nothing
  EXPECT_EQ(Folded(Tree(dir.path())), Folded(removed));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(RoundTripTest, BothFormsPresentSurviveApplyThenRemove) {
  WriteFile(Fs("Scenery/World/scenery/obj_ksea.BGL"), "active twin");
  const Tree_ original = Tree(dir.path());
  InstallPatch(context, view);
  EXPECT_EQ(testsupport::ReadFile(Fs("Scenery/World/scenery/obj_ksea.XXX")), "patched objects");
  EXPECT_EQ(testsupport::ReadFile(Fs("Scenery/World/scenery/obj_ksea.BGL")), "active twin");
  RemovePatch(context, view);
  const Tree_ after = Tree(dir.path());
  EXPECT_EQ(after.at("FS9/Scenery/World/scenery/obj_ksea.XXX"), "original disabled objects");
  EXPECT_EQ(after.at("FS9/Scenery/World/scenery/obj_ksea.BGL"), "active twin");
}

namespace {

// The host's disk in a program that is killed after its first `changesBeforeKill` changes: those
// reach the disk; every later change does nothing and fails (what the run makes of the failures
// does not matter: none of it reaches the disk, as nothing of a dead process does). Copies are put
// in place one by one as they are made, not together at FinishCopies: a batch puts them in place
// in the order they were made, so a kill between two files of a batch is one of the cases. A kill
// in the middle of a copy that writes a new file in place leaves half of it there.
class KilledDisk : public platform::Disk {
public:
  explicit KilledDisk(int changesBeforeKill) : changesLeft_(changesBeforeKill) {}
  int ChangesMade() const { return changesMade_; }

  bool PathExists(const std::string& path) override { return host_.PathExists(path); }
  bool IsFolder(const std::string& path) override { return host_.IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return host_.IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return host_.FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return host_.FileSize(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return host_.FolderEntryNames(folder);
  }
  FILE* OpenToRead(const std::string& path, bool binary) override {
    return host_.OpenToRead(path, binary);
  }
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& fallback, size_t bufferSize,
                          const std::string& file) override {
    return host_.ReadSetting(section, key, fallback, bufferSize, file);
  }

  bool CreateFolder(const std::string& path) override {
    return Alive() && host_.CreateFolder(path);
  }
  bool RemoveFile(const std::string& path) override { return Alive() && host_.RemoveFile(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return Alive() && host_.MovePath(from, to);
  }
  platform::CopyResult CopyFile(const std::string& source, const std::string& destination,
                                const std::string& label, const platform::ContentStamp* expected,
                                platform::NewTarget newTarget) override {
    const bool killedNow = changesLeft_ == 0 && !killed_;
    if (!Alive()) {
      // A new file written in place is left cut short by a kill in the middle of its copy.
      if (killedNow && newTarget == platform::NewTarget::kWrittenInPlace &&
          !host_.PathExists(destination)) {
        const std::string bytes = testsupport::ReadFile(source);
        testsupport::WriteFile(destination, bytes.substr(0, bytes.size() / 2));
      }
      return {platform::CopyOutcome::WriteFailed, destination, {}};
    }
    return host_.CopyFile(source, destination, label, expected, newTarget);
  }
  platform::WriteOutcome ReplaceWhole(const std::string& path, const std::string& bytes,
                                      const std::string& what) override {
    return Alive() ? host_.ReplaceWhole(path, bytes, what) : platform::WriteOutcome::WriteFailed;
  }
  platform::WriteOutcome AppendText(const std::string& path, const std::string& text,
                                    const std::string& what) override {
    return Alive() ? host_.AppendText(path, text, what) : platform::WriteOutcome::WriteFailed;
  }
  bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) override {
    return Alive() && host_.WriteSetting(section, key, value, file);
  }
  void StartCopies() override {}
  std::vector<platform::FailedReplacement> FinishCopies() override { return {}; }
  bool ChangesHostFiles() const override { return true; }

private:
  // Counts one change; false once the program is dead.
  bool Alive() {
    if (changesLeft_ == 0) {
      killed_ = true;
      return false;
    }
    --changesLeft_;
    ++changesMade_;
    return true;
  }

  platform::Disk& host_ = platform::HostDisk();
  int changesLeft_;
  bool killed_ = false;  // the first change after the kill point has been asked for
  int changesMade_ = 0;
};

}  // namespace

// The round trip's tree with the program killed at each change of a run: the install, the removal,
// and the install of an updated patch over the installed one.
class KilledRunTest : public RoundTripTest {
protected:
  void SetUp() override {
    RoundTripTest::SetUp();
    WriteFile(Fs("SCENERY.CFG"), SceneryConfig(3));
  }

  enum class Operation { Install, Removal };

  // Runs `operation` on `disk` as a program started afresh does: the scenery library read anew.
  void Run(Operation operation, platform::Disk& disk) {
    g_sceneryAreaTable = SceneryAreaTable{};
    g_nHighestLayer = 0;
    OperationOutcome outcome;
    if (operation == Operation::Install)
      InstallPatch(context, view, outcome, disk);
    else
      RemovePatch(context, view, outcome, disk);
  }

  // Puts the temporary folder back to `tree` (Tree's form).
  void Restore(const Tree_& tree) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(testsupport::HostPath(dir.path())))
      fs::remove_all(entry.path());
    // A folder's name sorts before the names inside it.
    for (const auto& [name, content] : tree) {
      if (content == "<dir>")
        testsupport::MakeDirs(dir / name);
      else
        WriteFile(dir / name, content);
    }
  }

  // The tree to compare after a removal: names folded, without the install record (which keeps
  // the history of the runs) and without the dated copies of SCENERY.CFG that hold its original
  // (a killed run may have taken one more). `filesOnly`: only the files of the simulator and the
  // product other than SCENERY.CFG, which an install that was cut short may have left without the
  // exclusion area, the folders it creates or the backups it takes.
  Tree_ Comparable(const Tree_& tree, const std::string& originalConfig, bool filesOnly = false) {
    Tree_ comparable;
    for (const auto& [name, content] : Folded(tree)) {
      const bool simulator = name.rfind("FS9/", 0) == 0;
      const bool config = name == "FS9/SCENERY.CFG";
      if (name == "OVPATCH.REC") continue;
      if (simulator && IsSceneryBackupName(name.substr(4)) && content == originalConfig) continue;
      if (filesOnly &&
          (content == "<dir>" || config || !(simulator || name.rfind("PRODUCT/", 0) == 0)))
        continue;
      comparable[name] = content;
    }
    return comparable;
  }

  // The names whose entries differ between the two trees, one a line.
  static std::string Differences(const Tree_& actual, const Tree_& expected) {
    std::string names;
    for (const auto& [name, content] : actual)
      if (!expected.count(name))
        names += name + " is one too many\n";
      else if (expected.at(name) != content)
        names += name + " differs\n";
    for (const auto& [name, content] : expected)
      if (!actual.count(name)) names += name + " is missing\n";
    return names;
  }

  // Everything the install record claims is on the disk: each backup holds its original, each file
  // written what was written, each folder created and each rename made is there. While an install
  // runs, a file written over may hold its new replacement already, and while a removal runs, a
  // claim may be undone already: the record is told once the file is in place.
  void ExpectRecordTrue(bool removing) {
    platform::Disk& host = platform::HostDisk();
    const InstallRecord record = InstallRecord::Load(host, context);
    const PairedFiles replacements = ListedReplacements(ReadPatchLists(context, host));
    for (const auto& [key, backup] : record.Backups()) {
      const std::string file = ScenerySubPath(context.m_strAppDir, backup.backupName, "BGL");
      EXPECT_TRUE(platform::StampOfFile(host, file) == backup.original)
          << "the backup " << file << " does not hold the original the record says";
    }
    for (const auto& [key, written] : record.WrittenFiles()) {
      const std::string& name = record.NameOf(key);
      const auto form = CurrentSceneryForm(host, context.m_strFsPath, name);
      const std::string file = ScenerySubPath(context.m_strFsPath, name, form.value_or("BGL"));
      const auto now = platform::StampOfFile(host, file);
      const RecordedBackup* backup = record.Backup(name);
      const bool undone = removing && (!now || (backup && *now == backup->original));
      const std::vector<std::string>& listed =
          replacements.Find(platform::JoinPath(context.m_strFsPath, name));
      const bool replaced =
          !removing && platform::FirstWithSameBytes(host, file, listed).has_value();
      EXPECT_TRUE(now == written || undone || replaced)
          << name << " does not hold what the record says was written";
    }
    for (const std::string& folder : record.CreatedFolders())
      EXPECT_TRUE(host.IsFolder(platform::JoinPath(context.m_strFsPath, folder)))
          << "the recorded folder " << folder << " is missing";
    for (const auto& [original, patched] : record.Renames()) {
      const bool made = host.PathExists(ResolvePatchPath(context, patched));
      const bool undone = removing && host.PathExists(ResolvePatchPath(context, original));
      EXPECT_TRUE(made || undone) << "the recorded rename " << original << " to " << patched
                                  << " is not on the disk";
    }
  }

  // Each file of the simulator and the product as they were before the first install is still
  // held by some file: in its place, under its other name or in a backup (SCENERY.CFG: its dated
  // copy).
  void ExpectNoOriginalLost(const Tree_& original) {
    std::set<std::string> held;
    for (const auto& [name, content] : Tree(dir.path())) held.insert(content);
    for (const auto& [name, content] : original) {
      const bool simulatorOrProduct = name.rfind("FS9/", 0) == 0 || name.rfind("Product/", 0) == 0;
      if (simulatorOrProduct && content != "<dir>") {
        EXPECT_TRUE(held.count(content)) << "the original " << name << " is lost";
      }
    }
  }
};

TEST_F(KilledRunTest, AKillAtAnyChangeLosesNothingAndTheRunAgainFinishesIt) {
  const Tree_ original = Tree(dir.path());
  const std::string originalConfig = original.at("FS9/SCENERY.CFG");
  Run(Operation::Install, platform::HostDisk());
  const Tree_ installed = Tree(dir.path());
  // An updated patch unpacked over the installed one: other replacements, and a REN.OV without the
  // product's rename, which then only the record tells the removal of.
  WriteFile(App("OV_KSEA.BGL"), "patched airport v2");
  WriteFile(App("OV_OBJ.BGL"), "patched objects v2");
  WriteList("REN.OV", {{"Addon Scenery\\Seattle\\scenery\\OLD_MESH.BGL",
                        "Addon Scenery\\Seattle\\Scenery\\Old_Mesh.OFF"}});
  const Tree_ updated = Tree(dir.path());

  struct Case {
    const char* name;
    const Tree_& start;
    Operation operation;
  };
  const Case cases[] = {{"install", original, Operation::Install},
                        {"removal", installed, Operation::Removal},
                        {"install of the updated patch", updated, Operation::Install}};
  for (const Case& run : cases) {
    // The run to its end and a removal: what every killed run must come to once run again.
    Restore(run.start);
    view.messages.clear();
    KilledDisk whole(INT_MAX);
    Run(run.operation, whole);
    Run(Operation::Removal, platform::HostDisk());
    ASSERT_TRUE(view.messages.empty()) << run.name;
    const Tree_ removed = Comparable(Tree(dir.path()), originalConfig);

    const bool installing = run.operation == Operation::Install;
    for (int kill = 0; kill <= whole.ChangesMade() && !HasFailure(); ++kill) {
      // After the kill, the run again to its end and a removal; after an install's, also a
      // removal at once.
      for (const bool runAgain : {true, false}) {
        if (!runAgain && !installing) continue;
        SCOPED_TRACE(std::string("the ") + run.name + " killed after " + std::to_string(kill) +
                     " of its " + std::to_string(whole.ChangesMade()) + " changes, then " +
                     (runAgain ? "run again and removed" : "removed"));
        Restore(run.start);
        KilledDisk killed(kill);
        Run(run.operation, killed);
        ExpectRecordTrue(!installing);
        ExpectNoOriginalLost(original);

        view.messages.clear();
        if (runAgain) {
          Run(run.operation, platform::HostDisk());
          EXPECT_TRUE(view.messages.empty()) << "run again: " << view.messages.front().text;
          EXPECT_TRUE(VerifyPatch(context, platform::HostDisk(), installing).failures.empty())
              << "run again, it does not verify";
        }
        Run(Operation::Removal, platform::HostDisk());
        EXPECT_TRUE(view.messages.empty()) << "removed: " << view.messages.front().text;
        EXPECT_TRUE(VerifyPatch(context, platform::HostDisk(), false).failures.empty())
            << "removed, it does not verify";
        const Tree_ now = Tree(dir.path());
        EXPECT_EQ(Differences(Comparable(now, originalConfig, true),
                              Comparable(original, originalConfig, true)),
                  "")
            << "removed, the simulator's and the product's files are not as they were";
        if (runAgain) {
          EXPECT_EQ(Differences(Comparable(now, originalConfig), removed), "")
              << "removed, the tree is not as the run to its end leaves it";
        }
      }
    }
  }
}
