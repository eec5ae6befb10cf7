#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "patch/context/settings.h"
#include "patch_fixture.h"
#include "platform/module.h"
#include "platform/profile.h"
#include "support/environment.h"

using testsupport::ShownMessage;
using ContextTest = PatchFixture;

TEST_F(ContextTest, RegistryWithoutValueEmptiesFsPath) {
  // The Linux stand-in reads the prefix's system.reg: an empty prefix has no FS2004 record, as the
  // fresh prefix of the Windows run has none.
  {
    const testsupport::ScopedEnvironmentVariable prefix("WINEPREFIX", dir.path());
    context.m_strFsPath = "C:\\Old";
    ReadRegistryFsPath(context);
  }
  EXPECT_EQ(context.m_strFsPath, "");
}

TEST_F(ContextTest, AppDirIsCutBeforeLastBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\Patch\\setup.exe", "C:\\Tools\\Patch"},
      {"C:\\setup.exe", "C:"},
      {"setup.exe", "setup.exe"}};
  for (const auto& [exe, appDir] : cases) {
    platform::OverrideOwnFileName(exe);
    DeriveAppDir(context, view);
    EXPECT_EQ(context.m_strAppDir, appDir);
    EXPECT_EQ(context.m_strIniFile, appDir + "\\OVPATCH.INI");
  }
  platform::OverrideOwnFileName(std::nullopt);
}

TEST_F(ContextTest, SettingsOverrideRegistryAndMissingStatusIsWritten) {
  context.m_strIniFile = dir / "OVPATCH.INI";
  auto value = [&](const char* key) {
    return platform::ReadProfileString("Settings", key, "-", 998, context.m_strIniFile);
  };
  context.m_strFsPath = "C:\\Reg";
  context.m_nPatchStatus = 5;
  LoadSettings(context, view);  // no settings file yet
  EXPECT_EQ(context.m_strFsPath, "C:\\Reg");
  EXPECT_EQ(context.m_nPatchStatus, 0);
  EXPECT_EQ(platform::ReadProfileSectionNames(context.m_strIniFile),
            std::vector<std::string>{"Settings"});
  EXPECT_EQ(value("Status"), "0");
  EXPECT_EQ(value("Fs2004"), "-");

  // Only the exact word "undefined" counts as missing; an empty value is a value.
  for (std::string stored : {"D:\\FS9", "", "undefined", "Undefined"}) {
    Write("OVPATCH.INI", "[Settings]\r\nFs2004=" + stored + "\r\nStatus=undefined\r\n");
    context.m_strFsPath = "C:\\Reg";
    context.m_nPatchStatus = 1;
    LoadSettings(context, view);
    EXPECT_EQ(context.m_strFsPath, stored == "undefined" ? "C:\\Reg" : stored);
    EXPECT_EQ(context.m_nPatchStatus, 0);
    EXPECT_EQ(value("Status"), "0");
  }

  // "Status" is read as atoi does; a value that is present is never rewritten.
  const std::pair<std::string, int32_t> cases[] = {
      {"2", 2}, {"-1", -1}, {"abc", 0}, {"", 0}, {" 12abc", 12}, {"99999999999", INT32_MAX}};
  for (const auto& [stored, expected] : cases) {
    const std::string file = "[Settings]\r\nStatus=" + stored + "\r\n";
    Write("OVPATCH.INI", file);
    LoadSettings(context, view);
    EXPECT_EQ(context.m_nPatchStatus, expected) << stored;
    EXPECT_EQ(Read("OVPATCH.INI"), file) << stored;
  }
  EXPECT_TRUE(view.messages.empty());

  // A settings file that cannot be written (a folder of its name) is told as every such write.
  std::filesystem::remove(testsupport::HostPath(context.m_strIniFile));
  testsupport::MakeDirs(context.m_strIniFile);
  LoadSettings(context, view);
  EXPECT_EQ(context.m_nPatchStatus, 0);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].caption, "Warning");
  EXPECT_EQ(view.messages[0].text.rfind(
                "The patch is removed, but this could not be saved in " + context.m_strIniFile, 0),
            0u);
}

TEST_F(ContextTest, SceneryConfigCheckAndCheckboxSync) {
  context.m_strFsPath = dir / "FS9";
  testsupport::MakeDirs(dir / "FS9");
  EXPECT_FALSE(CheckSceneryConfig(context, view));
  EXPECT_FALSE(view.checkboxEnabled);
  EXPECT_EQ(
      view.messages,
      (std::vector<ShownMessage>{
          {"The 'FS2004 Installation Path' cannot be located in the registry.  Please select \n\n"
           "the 'Change Patch' button and select the folder containing FS9.EXE.\n\n",
           "Path Cannot Continue !"}}));
  testsupport::MakeDirs(dir / "FS9\\SCENERY.CFG");  // a folder of that name counts too
  EXPECT_TRUE(CheckSceneryConfig(context, view));
  EXPECT_EQ(view.messages.size(), 1u);

  for (int32_t status : {2, -1, 0}) {  // ticks from the recorded state, never enables
    context.m_nPatchStatus = status;
    EXPECT_EQ(SyncApplyCheckbox(context, view), 0);
    EXPECT_EQ(view.controls.applyPatch, status != 0 ? 1 : 0);
  }
  EXPECT_FALSE(view.checkboxEnabled);
}
