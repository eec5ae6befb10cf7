// The dialog framework and the headless backend with small dialogs of their own.
#include <gtest/gtest.h>

#include "ui/dialog_templates.h"
#include "ui/framework/dialog.h"
#include "ui/framework/headless/headless_backend.h"
#include "ui/framework/win_app.h"
#include "ui/res/resource.h"

namespace {

constexpr int kBox = 10, kField = 11, kOther = 12;

const DialogTemplate& ProbeTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = 900;
    d.style = kDialogSystemMenu;
    d.controls = {{kIdOk, ControlKind::DefaultPushButton, "OK", 0, 0, 10, 10, kControlTabStop},
                  {kBox, ControlKind::AutoCheckBox, "Box", 0, 0, 10, 10, kControlTabStop},
                  {kField, ControlKind::Edit, "start", 0, 0, 10, 10, kControlTabStop},
                  {kOther, ControlKind::PushButton, "Other", 0, 0, 10, 10, kControlDisabled}};
    return d;
  }();
  return t;
}

// Binds `tick` and `text`; counts clicks on the box and the tick the box showed then.
class ProbeDialog : public CDialog {
public:
  ProbeDialog() : CDialog(ProbeTemplate()) {}
  int32_t tick = 0;
  std::string text = "member";
  std::vector<int> ticksSeenByClicks;
  bool cancelIgnored = false;

  void BoxClicked() { ticksSeenByClicks.push_back(GetWindow()->GetCheck(kBox)); }

protected:
  std::span<const EventEntry> GetEventTable() const override {
    static const EventEntry table[] = {OnClicked<ProbeDialog, &ProbeDialog::BoxClicked>(kBox)};
    return table;
  }
  void DoDataExchange(DataExchange& exchange) override {
    exchange.Check(kBox, tick);
    exchange.Text(kField, text);
  }
  void OnCancel() override {
    if (!cancelIgnored) CDialog::OnCancel();
  }
};

class HelpApp : public CWinApp {
public:
  int helpCommands = 0;
  void Help() { ++helpCommands; }

protected:
  std::span<const EventEntry> GetEventTable() const override {
    static const EventEntry table[] = {OnCommand<HelpApp, &HelpApp::Help>(kIdHelp)};
    return table;
  }
};

class FrameworkTest : public ::testing::Test {
protected:
  HeadlessBackend backend;
  ScopedDialogBackend activeBackend{backend};
};

}  // namespace

TEST_F(FrameworkTest, DataExchangeAndTheOkDefault) {
  ProbeDialog dialog;
  dialog.tick = 5;
  int shownTick = -1;
  std::string shownText;
  backend.steps.push_back([&](HeadlessWindow& w) {
    shownTick = w.GetCheck(kBox);
    shownText = w.GetControlText(kField);
    w.SetCheck(kBox, 1);
    w.SetControlText(kField, "typed");
    w.PressEnter();  // default button 1: reads the controls and closes with OK
  });
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(shownTick, 0);  // a value outside 0..2 shows clear ...
  EXPECT_EQ(shownText, "member");
  EXPECT_EQ(dialog.tick, 1);  // ... and the read-back takes the control's state
  EXPECT_EQ(dialog.text, "typed");
  EXPECT_EQ(dialog.GetWindow(), nullptr);
  EXPECT_FALSE(dialog.UpdateData(true));  // no window any more: nothing to exchange
}

TEST_F(FrameworkTest, ClicksToggleFirstAndOnlyReachUsableControls) {
  ProbeDialog dialog;
  bool disabledReached = true, editReached = true;
  backend.steps.push_back([&](HeadlessWindow& w) {
    EXPECT_TRUE(w.Click(kBox));
    EXPECT_TRUE(w.Click(kBox));
    w.SetCheck(kBox, 2);
    EXPECT_TRUE(w.Click(kBox));
    w.SetCheck(kBox, 0);  // no click: no event
    disabledReached = w.Click(kOther);
    editReached = w.Click(kField);
    EXPECT_FALSE(w.Click(999));
  });
  EXPECT_EQ(dialog.DoModal(), kIdCancel);  // script done: Escape
  EXPECT_EQ(dialog.ticksSeenByClicks, (std::vector<int>{1, 0, 1}));
  EXPECT_FALSE(disabledReached);
  EXPECT_FALSE(editReached);
}

TEST_F(FrameworkTest, UnlistedCommandsGoToTheApplicationAndRunsAlwaysEnd) {
  HelpApp app;
  ProbeDialog dialog;
  dialog.cancelIgnored = true;
  backend.steps.push_back([&](HeadlessWindow& w) {
    w.Sink().OnEvent({EventKind::Command, kIdHelp, kNotifyClicked, 0});
    w.Sink().OnEvent({EventKind::Command, 4242, kNotifyClicked, 0});  // nobody's: ignored
    w.PressEscape();                                                  // ignored by this dialog
    EXPECT_FALSE(w.IsEnded());
  });
  EXPECT_EQ(dialog.DoModal(), kIdCancel);  // the backend still ends the run
  EXPECT_EQ(app.helpCommands, 1);
  EXPECT_EQ(CWinApp::Current(), &app);
}

TEST(DialogTemplates, MainDialogControlsInTabOrder) {
  const DialogTemplate& main = MainDialogTemplate();
  EXPECT_EQ(main.id, IDD_OVPATCH_DIALOG);
  EXPECT_EQ(main.title, "Orvane Compatibility Patcher");
  std::vector<int> ids;
  for (const ControlTemplate& c : main.controls) ids.push_back(c.id);
  EXPECT_EQ(ids, (std::vector<int>{kIdOk, kIdCancel, IDC_CHANGE_FS_PATH, IDC_FS_PATH, IDC_STATIC,
                                   IDC_STATIC, IDC_PRODUCT_TITLE, IDC_APPLY_PATCH, IDC_STATUS,
                                   IDC_PRODUCT_PATH, IDC_STATIC, IDC_CHANGE_INSTALL_PATH}));
  const ControlTemplate& ok = main.controls[0];
  EXPECT_EQ(ok.kind, ControlKind::DefaultPushButton);
  EXPECT_EQ(ok.flags & (kControlHidden | kControlDisabled), kControlHidden | kControlDisabled);
  EXPECT_EQ(main.FindControl(IDC_APPLY_PATCH)->kind, ControlKind::AutoCheckBox);
  for (int edit : {IDC_FS_PATH, IDC_PRODUCT_TITLE, IDC_PRODUCT_PATH}) {
    EXPECT_NE(main.FindControl(edit)->flags & kControlReadOnly, 0u) << edit;
  }
  const DialogTemplate& about = AboutDialogTemplate();
  EXPECT_EQ(about.id, IDD_ABOUTBOX);
  EXPECT_EQ(about.controls.size(), 4u);
  EXPECT_EQ(about.controls[1].text, "OVPatch Version 1.0 (model 4)");
  EXPECT_EQ(about.style & kDialogVisible, 0u);
}
