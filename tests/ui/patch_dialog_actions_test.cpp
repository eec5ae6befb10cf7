// The main dialog's actions as a user drives them: apply and remove, the two folder changes,
// closing, the keyboard, the system menu and painting.
#include "dialog_fixture.h"

#include "ui/dialog_templates.h"
#include "ui/icon_position.h"

namespace {

const char* const kFsPicker = "Select FS2004 Folder Location";

}  // namespace

class ActionsTest : public DialogFixture {
protected:
  // A patch ready to apply: FS2004 tree, patch set, recorded state `status`.
  void Ready(const std::string& status = "0") {
    WriteFs2004();
    WritePatch();
    WriteSettings("Fs2004=" + fsDir + "\r\nStatus=" + status + "\r\n");
  }
  std::string AreaFile() { return testsupport::ReadFile(fsDir + "\\Scenery\\World\\AREA.BGL"); }
};

TEST_F(ActionsTest, TickingInstallsAndClearingRemoves) {
  Ready();
  int busyDepth = -1, busyCount = 0;
  bool ticked = false;
  std::string iniAfterInstall, areaAfterInstall;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg& d) {
               ASSERT_TRUE(w.Click(IDC_APPLY_PATCH));
               ticked = w.GetCheck(IDC_APPLY_PATCH) == 1 && d.Context().m_bApplyPatch == 1;
               iniAfterInstall = Ini();
               areaAfterInstall = AreaFile();
             },
             [&](HeadlessWindow& w, CPatchDlg&) {
               ASSERT_TRUE(w.Click(IDC_APPLY_PATCH));
               busyDepth = w.BusyDepth();
               busyCount = w.BusyCount();
               EXPECT_FALSE(w.HasCapture());
             }});
  EXPECT_TRUE(ticked);
  EXPECT_EQ(iniAfterInstall, "[Settings]\r\nFs2004=" + fsDir + "\r\nStatus=1\r\n");
  EXPECT_EQ(areaAfterInstall, "new");
  EXPECT_TRUE(testsupport::DirExists(fsDir + "/Scenery/OVX"));
  EXPECT_EQ(Read("AREA_ORIG.BGL"), "old");

  EXPECT_EQ(Ini(), "[Settings]\r\nFs2004=" + fsDir + "\r\nStatus=0\r\n");
  EXPECT_EQ(AreaFile(), "old");
  EXPECT_EQ(busyCount, 2);
  EXPECT_EQ(busyDepth, 0);
  EXPECT_TRUE(backend.messageBoxes.empty());
  EXPECT_EQ(statusLines, (std::vector<std::string>{"Applying Patch...Please Wait.", "Backing up file 1",
                                                    "Installing file 1", "Patch Installed !",
                                                    "Removing Patch...Please Wait.", "Restoring file 1",
                                                    "Patch Removed"}));
  ASSERT_FALSE(backend.pauses.empty());
  EXPECT_EQ(backend.pauses.front(), 100u);
}

TEST_F(ActionsTest, ClosingNeverReadsControlsOrTouchesSettings) {
  Ready();
  const std::string before = Ini();
  using Close = std::function<void(HeadlessWindow&)>;
  const Close closes[] = {[](HeadlessWindow& w) { w.PressEscape(); },
                          [](HeadlessWindow& w) { EXPECT_TRUE(w.Click(kIdCancel)); },
                          [](HeadlessWindow& w) { w.PressClose(); }};
  for (const Close& close : closes) {
    int memberAfter = -1;
    bool ended = false;
    const int result = RunDialog({[&](HeadlessWindow& w, CPatchDlg& d) {
      w.SetCheck(IDC_APPLY_PATCH, 1);  // shown ticked, but never clicked
      close(w);
      ended = w.IsEnded();
      memberAfter = d.Context().m_bApplyPatch;
    }});
    EXPECT_TRUE(ended);
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(memberAfter, 0);
    EXPECT_EQ(Ini(), before);
  }
}

TEST_F(ActionsTest, EnterClosesNothingAndHiddenOkCannotBeClicked) {
  Ready();
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
    EXPECT_TRUE(w.FocusControl(IDC_FS_PATH));
    EXPECT_FALSE(w.PressEnter());
    EXPECT_TRUE(w.FocusControl(IDC_APPLY_PATCH));
    EXPECT_FALSE(w.PressEnter());
    EXPECT_FALSE(w.Click(kIdOk));
    EXPECT_FALSE(w.IsEnded());
    EXPECT_EQ(w.GetCheck(IDC_APPLY_PATCH), 0);
  }});
  EXPECT_TRUE(statusLines.empty());
}

TEST_F(ActionsTest, KeyboardSpaceRunsLikeAClickAndTabSkipsDisabledBox) {
  Ready();
  std::vector<int> order;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
    for (int i = 0; i < 7; ++i) {
      w.PressTab();
      order.push_back(w.FocusedControl());
    }
    for (int i = 0; i < 4; ++i) w.PressTab();
    EXPECT_EQ(w.FocusedControl(), IDC_APPLY_PATCH);
    EXPECT_TRUE(w.PressSpace());
    EXPECT_EQ(w.GetCheck(IDC_APPLY_PATCH), 1);
    w.EnableControl(IDC_APPLY_PATCH, false);
    w.FocusControl(kIdCancel);
    for (int i = 0; i < 4; ++i) w.PressTab();
    EXPECT_EQ(w.FocusedControl(), IDC_PRODUCT_PATH);
  }});
  EXPECT_EQ(order, (std::vector<int>{IDC_CHANGE_FS_PATH, IDC_FS_PATH, IDC_PRODUCT_TITLE, IDC_APPLY_PATCH,
                                     IDC_PRODUCT_PATH, IDC_CHANGE_INSTALL_PATH, kIdCancel}));
  EXPECT_NE(Ini().find("Status=1"), std::string::npos);
}

TEST_F(ActionsTest, ClickDuringRunningOperationIsHeldBack) {
  Ready();
  bool mouseReached = true, spaceReached = false;
  int tickAfterSpace = -1;
  backend.pauseSteps.push_back([&](HeadlessWindow& w) {
    mouseReached = w.Click(IDC_APPLY_PATCH);  // the capture keeps the mouse away
    w.FocusControl(IDC_APPLY_PATCH);
    spaceReached = w.PressSpace();  // a key is dispatched by the pause
    tickAfterSpace = w.GetCheck(IDC_APPLY_PATCH);
  });
  int finalTick = -1;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
    w.Click(IDC_APPLY_PATCH);
    finalTick = w.GetCheck(IDC_APPLY_PATCH);
    EXPECT_EQ(w.BusyCount(), 1);
    EXPECT_EQ(w.BusyDepth(), 0);
  }});
  EXPECT_FALSE(mouseReached);
  EXPECT_TRUE(spaceReached);
  EXPECT_EQ(tickAfterSpace, 1);  // back to what the running install set
  EXPECT_EQ(finalTick, 1);
  EXPECT_EQ(statusLines.front(), "Applying Patch...Please Wait.");
  EXPECT_EQ(statusLines.back(), "Patch Installed !");
  EXPECT_EQ(std::count(statusLines.begin(), statusLines.end(), "Removing Patch...Please Wait."), 0);
  EXPECT_EQ(AreaFile(), "new");
  EXPECT_NE(Ini().find("Status=1"), std::string::npos);
}

TEST_F(ActionsTest, NoOperationWithoutSceneryConfig) {
  // Start-up fails its scenery check; "Change Install Path" still enables the box.
  WriteFs2004();
  WritePatch();
  ASSERT_TRUE(platform::RemoveFile(fsDir + "\\SCENERY.CFG"));
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=0\r\n");
  const std::string iniBefore = Ini();
  backend.folderAnswers.push_back(productDir);
  bool enabledByPicker = false, enabledAfter = true;
  int tickAfter = -1;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
    ASSERT_TRUE(w.Click(IDC_CHANGE_INSTALL_PATH));
    enabledByPicker = w.IsControlEnabled(IDC_APPLY_PATCH);
    backend.messageBoxes.clear();
    ASSERT_TRUE(w.Click(IDC_APPLY_PATCH));
    tickAfter = w.GetCheck(IDC_APPLY_PATCH);
    enabledAfter = w.IsControlEnabled(IDC_APPLY_PATCH);
  }});
  EXPECT_TRUE(enabledByPicker);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Path Cannot Continue !"});
  EXPECT_EQ(tickAfter, 0);
  EXPECT_FALSE(enabledAfter);
  EXPECT_TRUE(statusLines.empty());
  EXPECT_EQ(Ini(), iniBefore);
  EXPECT_FALSE(testsupport::DirExists(fsDir + "/Scenery/OVX"));
  EXPECT_EQ(AreaFile(), "old");
}

TEST_F(ActionsTest, ChangeFsPathFlows) {
  WritePatch();
  WriteFs2004();
  const std::string emptyFs = dir / "empty";
  testsupport::MakeDirs(emptyFs);
  struct Seen {
    bool enabled;
    int tick;
    std::string field;
  };
  std::vector<Seen> seen;
  std::vector<std::string> inis;
  auto look = [&](HeadlessWindow& w, CPatchDlg&) {
    seen.push_back({w.IsControlEnabled(IDC_APPLY_PATCH), w.GetCheck(IDC_APPLY_PATCH), w.GetControlText(IDC_FS_PATH)});
    inis.push_back(Ini());
  };
  auto pick = [&](std::optional<std::string> answer) {
    return [&, answer](HeadlessWindow& w, CPatchDlg&) {
      backend.folderAnswers.push_back(answer);
      ASSERT_TRUE(w.Click(IDC_CHANGE_FS_PATH));
    };
  };
  // Start-up: no registry, no settings file; the chain stops before PATH.OV.
  RunDialog({look, pick(std::nullopt), look, pick(emptyFs), look, pick(fsDir), look});
  EXPECT_EQ(backend.pickerTitles, (std::vector<std::string>{kFsPicker, kFsPicker, kFsPicker}));
  ASSERT_EQ(seen.size(), 4u);
  // Cancel: nothing written, nothing changed.
  EXPECT_EQ(inis[1], inis[0]);
  EXPECT_EQ(seen[1].field, "");
  // A folder without SCENERY.CFG: remembered, shown, checkbox disabled.
  EXPECT_EQ(inis[2], "[Settings]\r\nStatus=0\r\nFs2004=" + emptyFs + "\r\n");
  EXPECT_EQ(seen[2].field, emptyFs);
  EXPECT_FALSE(seen[2].enabled);
  // The right folder: PATH.OV, which start-up never reached, is read now and finds the product.
  EXPECT_EQ(inis[3], "[Settings]\r\nStatus=0\r\nFs2004=" + fsDir + "\r\n");
  EXPECT_TRUE(seen[3].enabled);
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Path Cannot Continue !", "Path Cannot Continue !"}));
}

TEST_F(ActionsTest, ChangeFsPathAfterInstallSyncsFromStartUpState) {
  WritePatch(productDir + "\\");
  WriteFs2004();
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=0\r\n");
  bool enabled = false;
  int tick = -1;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
    w.Click(IDC_APPLY_PATCH);
    backend.folderAnswers.push_back(fsDir);
    w.Click(IDC_CHANGE_FS_PATH);
    enabled = w.IsControlEnabled(IDC_APPLY_PATCH);
    tick = w.GetCheck(IDC_APPLY_PATCH);
  }});
  EXPECT_TRUE(enabled);
  EXPECT_EQ(tick, 0);  // the state read at start-up, not the install that just ran
  EXPECT_NE(Ini().find("Status=1"), std::string::npos);
}

TEST_F(ActionsTest, ChangeFsPathRefusesFolderNameWithLineBreak) {
  Ready("1");
  const std::string before = Ini();
  std::string field;
  bool enabled = false;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg& d) {
    backend.folderAnswers.push_back(fsDir + "\nStatus=0");
    w.Click(IDC_CHANGE_FS_PATH);
    field = d.Context().m_strFsPath;
    enabled = w.IsControlEnabled(IDC_APPLY_PATCH);
  }});
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(field, fsDir);
  EXPECT_TRUE(enabled);
  ASSERT_EQ(backend.messageBoxes.size(), 1u);
  EXPECT_EQ(backend.messageBoxes[0].caption, "Warning");
  EXPECT_EQ(backend.messageBoxes[0].type, kMessageBoxIconStop);
}

TEST_F(ActionsTest, ChangeInstallPathFlows) {
  WriteFs2004();
  WritePatch();
  Write("PATH.OV", "Missing\\Place\n");
  WriteSettings("Fs2004=" + fsDir + "\r\nStatus=1\r\n");
  const std::string titleBefore = Read("TITLE.OV");
  std::string titleAfterCancel;
  bool enabled = false;
  int tick = -1;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) {
               w.Click(IDC_CHANGE_INSTALL_PATH);  // no answer queued: cancelled
               titleAfterCancel = Read("TITLE.OV");
             },
             [&](HeadlessWindow& w, CPatchDlg&) {
               backend.folderAnswers.push_back(productDir);
               w.Click(IDC_CHANGE_INSTALL_PATH);
               enabled = w.IsControlEnabled(IDC_APPLY_PATCH);
               tick = w.GetCheck(IDC_APPLY_PATCH);
             }});
  EXPECT_EQ(titleAfterCancel, titleBefore);
  EXPECT_EQ(backend.pickerTitles,
            (std::vector<std::string>{"Select Test Product Folder Location", "Select Test Product Folder Location"}));
  EXPECT_TRUE(enabled);
  EXPECT_EQ(tick, 1);
  EXPECT_EQ(Read("TITLE.OV"), "Test Product\r\nPRODUCT.TXT\r\n" + productDir + "\\\r\n");
}

TEST_F(ActionsTest, SystemMenuOpensAboutBoxAndPaintsIconWhenMinimised) {
  WritePatch();
  bool mainDisabledMeanwhile = false;
  std::optional<Point> drawn;
  int defaultPaints = 0;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg&) { w.SendSysCommand(IDM_ABOUTBOX); },
             [&](HeadlessWindow& about, CPatchDlg&) {
               mainDisabledMeanwhile = about.Template().id == IDD_ABOUTBOX;
               EXPECT_TRUE(about.Click(kIdOk));
             },
             [&](HeadlessWindow& w, CPatchDlg&) {
               mainDisabledMeanwhile = mainDisabledMeanwhile && w.IsEnabled();
               w.SendSysCommand(IDM_ABOUTBOX + 1);  // 17 opens it too; Escape ends it
             },
             [&](HeadlessWindow& about, CPatchDlg&) { about.PressEscape(); },
             [&](HeadlessWindow& w, CPatchDlg&) {
               w.SendSysCommand(0x20);  // not ours: default handling, nothing happens
               w.RequestPaint();
               defaultPaints = w.DefaultPaintCount();
               w.SetMinimized(true);
               w.SetClientSize({36, 37});
               w.RequestPaint();
               drawn = w.PaintedIconAt();
             }});
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_EQ(backend.modalTemplates, (std::vector<int>{IDD_OVPATCH_DIALOG, IDD_ABOUTBOX, IDD_ABOUTBOX}));
  EXPECT_EQ(defaultPaints, 1);
  ASSERT_TRUE(drawn.has_value());
  EXPECT_EQ(drawn->x, 2);
  EXPECT_EQ(drawn->y, 3);
}

TEST(IconPosition, CentresWithTruncationTowardZero) {
  const std::pair<int, int> cases[] = {{36, 2}, {37, 3}, {30, 0}, {29, -1}, {32, 0}};
  for (const auto& [client, expected] : cases) {
    EXPECT_EQ(CentredIconPosition({client, client}, {32, 32}).x, expected) << client;
    EXPECT_EQ(CentredIconPosition({client, client}, {32, 32}).y, expected) << client;
  }
}

TEST_F(ActionsTest, UnwritableSettingsRefuseTheRunAndWarnOnAFolderChange) {
  Ready();
  testsupport::MakeReadOnly(patchDir + "\\OVPATCH.INI");
  int tickAfterClick = -1;
  RunDialog({[&](HeadlessWindow& w, CPatchDlg& d) {
    ASSERT_TRUE(w.Click(IDC_APPLY_PATCH));
    tickAfterClick = w.GetCheck(IDC_APPLY_PATCH);
    EXPECT_EQ(d.LastOutcome(), nullptr);
    backend.folderAnswers.push_back(fsDir);
    ASSERT_TRUE(w.Click(IDC_CHANGE_FS_PATH));
  }});
  // The install would end with the state unsaved: it never starts.
  EXPECT_EQ(AreaFile(), "old");
  EXPECT_EQ(tickAfterClick, 0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Warning", "Warning"}));
  EXPECT_NE(backend.messageBoxes[0].text.find("OVPATCH.INI: it is read-only"), std::string::npos);
  EXPECT_NE(backend.messageBoxes[1].text.find("will not be remembered"), std::string::npos);
  statusLines.push_back("Patch Installed, with warnings");  // the longest text of an operation

  // The text fits the status field: an average character is 4 dialog units wide.
  const ControlTemplate* field = MainDialogTemplate().FindControl(IDC_STATUS);
  ASSERT_NE(field, nullptr);
  EXPECT_LE(statusLines.back().size() * 4, static_cast<size_t>(field->width));
}
