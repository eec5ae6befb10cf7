#include <cstdlib>
#include <optional>

#include "patch/context/settings.h"
#include "patch_fixture.h"
#include "platform/module.h"
#include "platform/profile.h"

using testsupport::ShownMessage;

namespace {

// Points the Linux registry stand-in at an empty prefix; Windows reads its own registry, in which a
// fresh test prefix holds no FS2004 record.
class ScopedEmptyWinePrefix {
public:
  explicit ScopedEmptyWinePrefix(const std::string& folder) {
    if (const char* old = std::getenv("WINEPREFIX")) previous_ = old;
    Set("WINEPREFIX=" + folder);
  }
  ~ScopedEmptyWinePrefix() { Set(previous_ ? "WINEPREFIX=" + *previous_ : "WINEPREFIX"); }

private:
  static void Set(const std::string& assignment) {
    static std::string storage[2];  // putenv keeps the pointer it is given
    static int next = 0;
    storage[next] = assignment;
    putenv(storage[next].data());
    next ^= 1;
  }
  std::optional<std::string> previous_;
};

}  // namespace

using ContextTest = PatchFixture;

TEST_F(ContextTest, RegistryWithoutValueEmptiesFsPath) {
  ScopedEmptyWinePrefix prefix(dir.path());
  context.m_strFsPath = "C:\\Old";
  ReadRegistryFsPath(context);
  EXPECT_EQ(context.m_strFsPath, "");
}

TEST_F(ContextTest, AppDirIsCutBeforeLastBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\Patch\\setup.exe", "C:\\Tools\\Patch"}, {"C:\\setup.exe", "C:"}, {"setup.exe", "setup.exe"}};
  for (const auto& [exe, appDir] : cases) {
    platform::OverrideOwnFileName(exe);
    DeriveAppDir(context, view);
    EXPECT_EQ(context.m_strAppDir, appDir);
    EXPECT_EQ(context.m_strIniFile, appDir + "\\OVPATCH.INI");
  }
  platform::OverrideOwnFileName(std::nullopt);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(ContextTest, SettingsFsPathOverridesRegistryAndMissingStatusIsWritten) {
  context.m_strIniFile = dir / "OVPATCH.INI";
  context.m_strFsPath = "C:\\FromRegistry";
  context.m_nPatchStatus = 5;
  LoadSettings(context);  // no settings file yet
  EXPECT_EQ(context.m_strFsPath, "C:\\FromRegistry");
  EXPECT_EQ(context.m_nPatchStatus, 0);
  EXPECT_EQ(platform::ReadProfileSectionNames(context.m_strIniFile), std::vector<std::string>{"Settings"});
  EXPECT_EQ(platform::ReadProfileString("Settings", "Status", "-", 998, context.m_strIniFile), "0");
  EXPECT_EQ(platform::ReadProfileString("Settings", "Fs2004", "-", 998, context.m_strIniFile), "-");

  // Only the exact word "undefined" counts as missing; an empty value is a value.
  const std::pair<std::string, std::string> fsCases[] = {
      {"D:\\Games\\FS9", "D:\\Games\\FS9"}, {"", ""}, {"undefined", "C:\\FromRegistry"}, {"Undefined", "Undefined"}};
  for (const auto& [stored, expected] : fsCases) {
    Write("OVPATCH.INI", "[Settings]\r\nFs2004=" + stored + "\r\nStatus=1\r\n");
    context.m_strFsPath = "C:\\FromRegistry";
    LoadSettings(context);
    EXPECT_EQ(context.m_strFsPath, expected) << stored;
  }
}

TEST_F(ContextTest, StatusIsReadAsDecimalAndRewrittenOnlyWhenMissing) {
  context.m_strIniFile = dir / "OVPATCH.INI";
  const std::pair<std::string, int32_t> cases[] = {{"1", 1},   {"2", 2},        {"-1", -1},
                                                   {"abc", 0}, {"", 0},         {"12abc", 12},
                                                   {"0", 0},   {"99999999999", INT32_MAX}};
  for (const auto& [stored, expected] : cases) {
    const std::string file = "[Settings]\r\nStatus=" + stored + "\r\n";
    Write("OVPATCH.INI", file);
    LoadSettings(context);
    EXPECT_EQ(context.m_nPatchStatus, expected) << stored;
    EXPECT_EQ(Read("OVPATCH.INI"), file) << stored;  // a value that is present is never rewritten
  }
  Write("OVPATCH.INI", "[Settings]\r\nStatus=undefined\r\n");
  context.m_nPatchStatus = 1;
  LoadSettings(context);
  EXPECT_EQ(context.m_nPatchStatus, 0);
  EXPECT_EQ(platform::ReadProfileString("Settings", "Status", "-", 998, context.m_strIniFile), "0");
}

TEST_F(ContextTest, SceneryConfigCheck) {
  context.m_strFsPath = dir / "FS9";
  testsupport::MakeDirs(dir / "FS9");
  EXPECT_FALSE(CheckSceneryConfig(context, view));
  EXPECT_FALSE(view.checkboxEnabled);
  EXPECT_EQ(view.messages,
            (std::vector<ShownMessage>{{"The 'FS2004 Installation Path' cannot be located in the registry.  Please "
                                        "select \n\nthe 'Change Patch' button and select the folder containing "
                                        "FS9.EXE.\n\n",
                                        "Path Cannot Continue !"}}));

  view.messages.clear();
  view.checkboxEnabled = true;
  testsupport::MakeDirs(dir / "FS9\\SCENERY.CFG");  // a folder of that name counts too
  EXPECT_TRUE(CheckSceneryConfig(context, view));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(view.checkboxEnabled);
}

TEST_F(ContextTest, SyncApplyCheckboxTicksFromStatusWithoutEnabling) {
  view.checkboxEnabled = false;
  for (int32_t status : {2, -1, 0}) {
    context.m_nPatchStatus = status;
    EXPECT_EQ(SyncApplyCheckbox(context, view), 0);
    EXPECT_EQ(view.controls.applyPatch, status != 0 ? 1 : 0);
  }
  EXPECT_EQ(view.refreshCount, 3);
  EXPECT_FALSE(view.checkboxEnabled);
}
