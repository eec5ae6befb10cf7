#include <cctype>

#include "engine_fixture.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"

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
