// Start-up of the main dialog: window set-up and the chain of checks, as the user sees them.
#include "dialog_fixture.h"

namespace {

const char* const kPathMessage =
    "The 'FS2004 Installation Path' cannot be located in the registry.  Please select \n\n"
    "the 'Change Patch' button and select the folder containing FS9.EXE.\n\n";
const char* const kMissingDataMessage =
    "Critical patch data files are missing.\nPlease exit and reinstall the patch before continuing.";

struct Seen {
  std::string fsPath, title, productPath, status;
  int tick = -1;
  bool enabled = true;
  int focus = 0;
};

DialogFixture::DialogStep Capture(Seen& seen) {
  return [&seen](HeadlessWindow& w, CPatchDlg&) {
    seen = {w.GetControlText(IDC_FS_PATH), w.GetControlText(IDC_PRODUCT_TITLE),
            w.GetControlText(IDC_PRODUCT_PATH), w.GetControlText(IDC_STATUS),
            w.GetCheck(IDC_APPLY_PATCH), w.IsControlEnabled(IDC_APPLY_PATCH), w.FocusedControl()};
  };
}

}  // namespace

using StartupTest = DialogFixture;

TEST_F(StartupTest, NoRegistryValueAndNoSettingsFile) {
  WritePatch();
  Seen seen;
  EXPECT_EQ(RunDialog({Capture(seen)}), kIdCancel);
  EXPECT_EQ(seen.fsPath, "");
  EXPECT_FALSE(seen.enabled);
  EXPECT_EQ(seen.tick, 0);
  EXPECT_EQ(seen.focus, kIdCancel);  // "Done": the first visible, enabled tab stop
  ASSERT_EQ(backend.messageBoxes.size(), 1u);
  EXPECT_EQ(backend.messageBoxes[0],
            (HeadlessMessageBox{kPathMessage, "Path Cannot Continue !", kMessageBoxIconStop}));
  EXPECT_EQ(Ini(), "[Settings]\r\nStatus=0\r\n");
  EXPECT_TRUE(g_productSearchList.entries.empty());  // the chain stopped before PATH.OV
}

TEST_F(StartupTest, SettingsFolderWithoutSceneryConfig) {
  WritePatch();
  testsupport::MakeDirs(fsDir);
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=1\r\n");
  Seen seen;
  RunDialog({Capture(seen)});
  EXPECT_EQ(seen.fsPath, fsDir);
  EXPECT_FALSE(seen.enabled);
  EXPECT_EQ(seen.tick, 0);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Path Cannot Continue !"});
}

TEST_F(StartupTest, PathListMissingStopsTheChain) {
  WriteFs2004();
  WritePatch();
  ASSERT_TRUE(platform::RemoveFile(patchDir + "\\PATH.OV"));
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=1\r\n");
  Seen seen;
  RunDialog({Capture(seen)});
  EXPECT_FALSE(seen.enabled);
  EXPECT_EQ(seen.tick, 0);
  EXPECT_EQ(seen.title, "");  // TITLE.OV was never read
  ASSERT_EQ(backend.messageBoxes.size(), 1u);
  EXPECT_EQ(backend.messageBoxes[0].text, kMissingDataMessage);
  EXPECT_EQ(backend.messageBoxes[0].caption, "Critical Error");
}

TEST_F(StartupTest, ProductNotFound) {
  WriteFs2004();
  WritePatch();
  Write("PATH.OV", "Missing\\Place\n");
  WriteSettings("Fs2004=" + fsDir + "\r\n");
  Seen seen;
  RunDialog({Capture(seen)});
  EXPECT_FALSE(seen.enabled);
  EXPECT_EQ(seen.title, "Test Product");
  EXPECT_EQ(seen.productPath, fsDir + "\\Missing\\Place\\");
  ASSERT_EQ(backend.messageBoxes.size(), 1u);
  EXPECT_EQ(backend.messageBoxes[0].text,
            "Test Product product not found in expected paths.\nPatch cannot be applied.\n"
            "You can try locating the product to be patched manually.");
  EXPECT_EQ(backend.messageBoxes[0].caption, "Warning");
  EXPECT_EQ(Ini(), "[Settings]\r\nFs2004=" + fsDir + "\r\nStatus=0\r\n");
}

TEST_F(StartupTest, ProductFoundShowsRecordedState) {
  WriteFs2004();
  WritePatch();
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=1\r\n");
  Seen seen;
  RunDialog({Capture(seen)});
  EXPECT_TRUE(backend.messageBoxes.empty());
  EXPECT_EQ(seen.fsPath, fsDir);
  EXPECT_EQ(seen.title, "Test Product");
  EXPECT_EQ(seen.productPath, fsDir + "\\Addon\\Product\\");
  EXPECT_EQ(seen.status, "");
  EXPECT_TRUE(seen.enabled);
  EXPECT_EQ(seen.tick, 1);
  EXPECT_EQ(Read("TITLE.OV"), "Test Product\r\nPRODUCT.TXT\r\n" + fsDir + "\\Addon\\Product\\\r\n");

  // Next start-up, recorded state removed: the remembered folder is tested, the box opens clear.
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=0\r\n");
  RunDialog({Capture(seen)});
  EXPECT_TRUE(seen.enabled);
  EXPECT_EQ(seen.tick, 0);
  EXPECT_TRUE(backend.messageBoxes.empty());

  // Started from a folder without list files (a shortcut's "Start in", a terminal elsewhere): the
  // patch beside the program is read, and nothing is written where it started.
  const std::string elsewhere = dir / "elsewhere";
  testsupport::MakeDirs(elsewhere);
  {
    testsupport::ScopedCurrentFolder startedThere(elsewhere);
    RunDialog({Capture(seen)});
  }
  EXPECT_TRUE(backend.messageBoxes.empty());
  EXPECT_EQ(seen.title, "Test Product");
  EXPECT_EQ(seen.tick, 0);
  EXPECT_TRUE(testsupport::ListFolder(elsewhere).empty());
}

TEST_F(StartupTest, WindowSetUpAddsAboutItemAndIcons) {
  WritePatch();
  CPatchDlg* seenDialog = nullptr;
  std::vector<std::string> menu;
  IconHandle big = nullptr, small = nullptr;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg& d) {
    seenDialog = &d;
    menu = w.SystemMenu();
    big = w.BigIcon();
    small = w.SmallIcon();
    EXPECT_EQ(w.QueryDragIcon(), d.Context().m_hIcon);
  }});
  ASSERT_NE(seenDialog, nullptr);
  EXPECT_EQ(menu, (std::vector<std::string>{"", "&About OVPatch..."}));
  EXPECT_NE(big, nullptr);
  EXPECT_EQ(big, backend.LoadIconResource(IDR_MAINFRAME));
  EXPECT_EQ(small, big);

  // An empty string 101 adds neither the separator nor the item.
  backend.strings.clear();
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) { menu = w.SystemMenu(); }});
  EXPECT_TRUE(menu.empty());
}
