// Patches made from two trees: generated pairs of an original and a patched FS2004 folder, the made
// patch applied with the real install and taken out with the real removal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "patch/authoring/patch_maker.h"
#include "patch/context/patch_context.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/removal_sequence.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_lint.h"
#include "support/recording_view.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::HostPath;
using Tree = std::map<std::string, std::string>;  // upper-case relative path -> bytes or "<dir>"

const char kProduct[] = "Addon Scenery\\Product One";
const char kConfig[] =
    "[General]\r\nTitle=FS9 World Scenery\r\n\r\n[Area.001]\r\nLocal=Scenery\\World\r\nLayer=1\r\n";
const char kArea[] =
    "\r\n[Area.002]\r\nTitle=Orvane - Exclude Files For Addon "
    "Patches\r\nLocal=SCENERY\\OV_EXCLUDES\r\n"
    "Layer=2\r\nActive=TRUE\r\nRequired=FALSE\r\nRemote=\r\n";

// Writes a file, making its folders first.
void Put(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(HostPath(path)).parent_path());
  testsupport::WriteFile(path, bytes);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Files and folders below `root`, names folded to upper case; SCENERY.CFG and its dated copies,
// which the install changes on its own, left out.
Tree ReadTree(const std::string& root) {
  const fs::path base = HostPath(root);
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    const std::string name = Upper(fs::relative(entry.path(), base).generic_string());
    if (name == "SCENERY.CFG" || IsSceneryBackupName(name)) continue;
    tree[name] = entry.is_directory() ? "<dir>" : testsupport::ReadFile(entry.path().string());
  }
  return tree;
}

Tree Folders(const Tree& tree) {
  Tree folders;
  for (const auto& [name, bytes] : tree)
    if (bytes == "<dir>") folders[name] = bytes;
  return folders;
}

Tree Files(const Tree& tree) {
  Tree files;
  for (const auto& [name, bytes] : tree)
    if (bytes != "<dir>") files[name] = bytes;
  return files;
}

// Writes a random original tree and a patched copy changed only in ways the lists can express.
class TreePairGenerator {
public:
  TreePairGenerator(unsigned seed, const std::string& original, const std::string& patched)
      : random_(seed), original_(original), patched_(patched) {}

  void Generate(int files) {
    for (const char* folder : {"Scenery", "Scenery\\World", "Scenery\\World\\scenery",
                               "Addon Scenery", kProduct, "Addon Scenery\\Product One\\Scenery"})
      AddFolder(folder);
    for (int i = 0; i < files / 10 + 1; ++i)
      AddFolder(Pick({"Scenery\\", "Addon Scenery\\", std::string(kProduct) + "\\"}) + "Area " +
                std::to_string(i) + Pick({"", "\\scenery", "\\Texture"}));
    WriteOriginal("SCENERY.CFG", kConfig);
    WriteOriginal(std::string(kProduct) + "\\README.TXT", "product");
    // Files that stay as they are give INST.OV the two forms to copy.
    WriteOriginal("Scenery\\World\\scenery\\STOCK1.XXX", "stock disabled");
    WriteOriginal("Scenery\\World\\scenery\\Stock2.bgl", "stock active");
    for (int i = 0; i < files; ++i) {
      const std::string stem =
          Pick(folders_) + "\\" + Pick({"ap", "OBJ_", "Mesh"}) + std::to_string(i);
      const int kind = Roll(10);
      if (kind < 5) WriteOriginal(stem + Pick({".BGL", ".bgl"}), Content());
      if (kind >= 5 && kind < 8) WriteOriginal(stem + Pick({".XXX", ".xxx"}), Content());
      if (kind == 8) {
        WriteOriginal(stem + ".BGL", Content());
        WriteOriginal(stem + ".XXX", Content());
      }
      if (kind == 9) WriteOriginal(stem + Pick({".txt", ".bmp"}), Content());
    }
    fs::copy(HostPath(original_), HostPath(patched_), fs::copy_options::recursive);
    if (Roll(2)) Append("SCENERY.CFG", kArea);
    const std::vector<std::string> originals = changeable_;
    for (const std::string& file : originals) Change(file);
    for (int i = 0; i < files / 8 + 1; ++i) AddScenery(i);
  }

private:
  void Change(const std::string& file) {
    const std::string upper = Upper(file);
    const bool scenery = upper.ends_with(".BGL") || upper.ends_with(".XXX");
    const std::string stem = file.substr(0, file.size() - 4);
    const bool twin = scenery && (Taken(stem + ".BGL") && Taken(stem + ".XXX"));
    switch (Roll(12)) {
      case 0:  // changed, in the form that install and removal write
        if (scenery && (!twin || upper.ends_with(".XXX"))) WritePatched(file, Content());
        break;
      case 1:  // disabled by a rename
        Move(file, file + ".OFF");
        break;
      case 2:  // moved into another folder, or into a new one
        Move(file,
             (Roll(2) ? Pick(folders_) : NewFolder()) + "\\" + file.substr(file.rfind('\\') + 1));
        break;
      case 3:  // the active form made the disabled one
        if (scenery && !twin && upper.ends_with(".BGL")) Move(file, stem + ".XXX");
        break;
      case 4:  // put aside, and a replacement under its name
        if (scenery && !twin && Move(file, stem + ".OFF")) WritePatched(file, Content());
        break;
      default:
        break;
    }
  }

  void AddScenery(int i) {
    const std::string folder = Roll(3) ? Pick(folders_) : NewFolder();
    WritePatched(folder + "\\NEW" + std::to_string(i) + Pick({".BGL", ".bgl", ".XXX"}), Content());
  }

  // A folder of the patched tree only, its name without spaces.
  std::string NewFolder() {
    std::string folder = "Scenery\\OV_NEW" + std::to_string(newFolders_++);
    fs::create_directories(HostPath(patched_ + "\\" + folder));
    if (Roll(2)) {
      folder += "\\scenery";
      fs::create_directories(HostPath(patched_ + "\\" + folder));
    }
    return folder;
  }

  bool Move(const std::string& from, const std::string& to) {
    if (!used_.insert(Upper(to)).second) return false;
    fs::rename(HostPath(patched_ + "\\" + from), HostPath(patched_ + "\\" + to));
    return true;
  }

  void AddFolder(const std::string& folder) {
    fs::create_directories(HostPath(original_ + "\\" + folder));
    folders_.push_back(folder);
  }
  void WriteOriginal(const std::string& file, const std::string& bytes) {
    testsupport::WriteFile(original_ + "\\" + file, bytes);
    used_.insert(Upper(file));
    if (!file.ends_with("SCENERY.CFG") && !file.starts_with("Scenery\\World\\scenery\\Stock"))
      changeable_.push_back(file);
  }
  void WritePatched(const std::string& file, const std::string& bytes) {
    used_.insert(Upper(file));
    testsupport::WriteFile(patched_ + "\\" + file, bytes);
  }
  void Append(const std::string& file, const std::string& bytes) {
    WritePatched(file, testsupport::ReadFile(patched_ + "\\" + file) + bytes);
  }
  bool Taken(const std::string& file) const { return used_.count(Upper(file)) != 0; }

  std::string Content() {
    std::string bytes = "file " + std::to_string(contents_++) + ":";
    for (int n = Roll(600); n > 0; --n) bytes += static_cast<char>(Roll(256));
    return bytes;
  }
  int Roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  std::string Pick(const std::vector<std::string>& from) {
    return from[Roll(static_cast<int>(from.size()))];
  }

  std::mt19937 random_;
  std::string original_, patched_;
  std::vector<std::string> folders_, changeable_;
  std::set<std::string> used_;  // every file name either tree holds, in upper case
  int contents_ = 0, newFolders_ = 0;
};

class PatchMakerTest : public ::testing::Test {
protected:
  testsupport::TempFolder dir;
  PatchContext context;
  testsupport::RecordingView view{context};

  // Makes the patch, applies it to a copy of the original and removes it again; each seed in a
  // folder of its own.
  void RoundTrip(int files, unsigned seed) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (OVPATCH_MAKE_SEED repeats it)");
    const std::string root = dir / ("seed" + std::to_string(seed));
    const auto in = [&root](const std::string& name) { return root + "\\" + name; };
    TreePairGenerator(seed, in("original"), in("patched")).Generate(files);
    const PatchDraft draft =
        DraftPatch({in("original"), in("patched"), kProduct, "Product One", std::nullopt});
    ASSERT_EQ("", draft.error);
    for (const RefusedChange& change : draft.refused) ADD_FAILURE() << RefusedChangeLine(change);
    ASSERT_EQ("", WritePatchFolder(draft, in("patch")));

    fs::copy(HostPath(in("original")), HostPath(in("applied")), fs::copy_options::recursive);
    context.m_strFsPath = in("applied");
    context.m_strAppDir = in("patch");
    context.m_strProductPath = in("applied\\") + kProduct + "\\";
    g_sceneryAreaTable = SceneryAreaTable{};
    g_nHighestLayer = 0;
    testsupport::ScopedCurrentFolder inPatch(in("patch"));
    for (const ListRemark& remark : LintListFiles()) ADD_FAILURE() << ListRemarkLine(remark);

    const Tree original = ReadTree(in("original"));
    const Tree patched = ReadTree(in("patched"));
    InstallPatch(context, view);
    EXPECT_EQ(ReadTree(in("applied")), patched);
    EXPECT_TRUE(testsupport::ReadFile(in("applied\\SCENERY.CFG")).starts_with(kConfig));
    RemovePatch(context, view);
    const Tree removed = ReadTree(in("applied"));
    EXPECT_EQ(Files(removed), Files(original));
    EXPECT_EQ(Folders(removed), Folders(patched)) << "only the created folders stay";
    for (const auto& message : view.messages)
      ADD_FAILURE() << message.caption << ": " << message.text;
    view.messages.clear();
  }
};

TEST_F(PatchMakerTest, InstallGivesThePatchedTreeAndRemovalTheOriginal) {
  const char* chosen = std::getenv("OVPATCH_MAKE_SEED");
  const unsigned base =
      chosen ? static_cast<unsigned>(std::strtoul(chosen, nullptr, 10)) : std::random_device{}();
  RoundTrip(300, base);
  for (unsigned n = 1; n <= 6 && !chosen && !HasFailure(); ++n) RoundTrip(30, base + n);
}

TEST_F(PatchMakerTest, ChangesTheListsCannotMakeAreListedAndNothingIsWritten) {
  const std::string original = dir / "original", patched = dir / "patched";
  const auto both = [&](const std::string& file, const std::string& bytes) {
    Put(original + "\\" + file, bytes);
    Put(patched + "\\" + file, bytes);
  };
  both("SCENERY.CFG", kConfig);
  both(std::string(kProduct) + "\\README.TXT", "product");
  both("Scenery\\World\\scenery\\KEPT.BGL", "kept");
  both("Scenery\\World\\scenery\\TWIN.XXX", "disabled twin");
  testsupport::MakeDirs(original + "\\Scenery\\Gone");
  Put(original + "\\Scenery\\World\\scenery\\DELETED.BGL", "deleted");
  Put(original + "\\Scenery\\World\\scenery\\notes.txt", "old notes");
  Put(patched + "\\Scenery\\World\\scenery\\notes.txt", "new notes");
  Put(original + "\\Scenery\\World\\scenery\\TWIN.BGL", "active twin");
  Put(patched + "\\Scenery\\World\\scenery\\twin.bgl", "changed twin");
  Put(patched + "\\SCENERY.CFG", std::string(kConfig) + "[Area.002]\r\nLocal=Mine\r\n");
  Put(patched + "\\Addon Scenery\\New Folder\\NEW.BGL", "in a folder with a space");
  Put(patched + "\\Scenery\\World\\scenery\\added.txt", "not scenery");
  Put(patched + "\\Scenery\\" + std::string(80, 'L') + ".BGL", "too long");

  const PatchDraft draft = DraftPatch({original, patched, kProduct, "Product One", "readme.txt"});
  EXPECT_EQ("", draft.error);
  std::set<std::string> refused;
  for (const RefusedChange& change : draft.refused) {
    refused.insert(Upper(change.path));
    EXPECT_NE("", change.instead) << change.path;
  }
  EXPECT_EQ(refused, (std::set<std::string>{
                         "SCENERY.CFG", "SCENERY\\GONE", "SCENERY\\WORLD\\SCENERY\\DELETED.BGL",
                         "SCENERY\\WORLD\\SCENERY\\NOTES.TXT", "SCENERY\\WORLD\\SCENERY\\TWIN.BGL",
                         "ADDON SCENERY\\NEW FOLDER", "SCENERY\\WORLD\\SCENERY\\ADDED.TXT",
                         "SCENERY\\" + std::string(80, 'L') + ".BGL"}));
  EXPECT_NE("", WritePatchFolder(draft, dir / "patch"));
  EXPECT_FALSE(testsupport::DirExists(dir / "patch")) << "nothing written";

  EXPECT_NE("", DraftPatch({original, patched, kProduct, "Product One", "missing.txt"}).error);
  EXPECT_NE("", DraftPatch({original, patched, "Addon Scenery\\Elsewhere", "Title", {}}).error);
  EXPECT_NE("", DraftPatch({original, patched, kProduct, std::string(233, 'T'), {}}).error);
}

}  // namespace
