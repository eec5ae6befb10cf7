// The Win32 backend in this process: a dialog built from template data (this program has no
// dialog resources), its controls, window services, event delivery and the waiting pause.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/dialog_templates.h"
#include "ui/framework/win32/win32_backend.h"
#include "ui/res/resource.h"

namespace {

constexpr int kRunScript = 900;  // a command the test posts to itself once the modal loop runs

// Runs `script` inside the modal loop of the main dialog template, then ends the dialog with OK
// (unless told not to); ends it with Cancel on command 2; records every event the window delivers.
class ScriptedSink : public DialogEventSink {
public:
  explicit ScriptedSink(std::function<void(DialogWindow&)> script, bool endAfterScript = true)
      : script_(std::move(script)), endAfterScript_(endAfterScript) {}

  void OnWindowCreated(DialogWindow& window) override { window_ = &window; }
  bool InitializeDialog() override { return true; }
  EventResult OnEvent(const Event& event) override {
    events.push_back(event);
    if (event.kind == EventKind::Command && event.id == kRunScript) {
      script_(*window_);
      if (endAfterScript_) window_->EndDialog(kIdOk);
      return EventResult::Handled();
    }
    if (event.kind == EventKind::Command && event.id == kIdCancel) {
      window_->EndDialog(kIdCancel);
      return EventResult::Handled();
    }
    return {};
  }
  void OnWindowDestroyed() override { destroyed = true; }

  std::vector<Event> events;
  bool destroyed = false;

private:
  std::function<void(DialogWindow&)> script_;
  bool endAfterScript_;
  DialogWindow* window_ = nullptr;
};

BOOL CALLBACK FindDialogWindow(HWND hwnd, LPARAM found) {
  if (!GetDlgItem(hwnd, IDC_APPLY_PATCH)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The dialog's own window: this thread's top-level window that holds control 1002.
HWND DialogWindowHandle() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialogWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Fires once the modal loop runs and posts the script command to the dialog.
void CALLBACK PostScriptCommand(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND dialog = DialogWindowHandle()) PostMessageA(dialog, WM_COMMAND, kRunScript, 0);
}

int RunScripted(ScriptedSink& sink) {
  Win32Backend backend;
  backend.InitializeApplication();
  SetTimer(nullptr, 0, 10, PostScriptCommand);
  return backend.RunModal(MainDialogTemplate(), sink, nullptr);
}

TEST(Win32Backend, ControlsExchangeTextTicksAndEnabledState) {
  ScriptedSink sink([](DialogWindow& w) {
    w.SetControlText(IDC_FS_PATH, "C:\\Sim\\FS9");
    EXPECT_EQ(w.GetControlText(IDC_FS_PATH), "C:\\Sim\\FS9");
    EXPECT_EQ(w.GetControlText(IDC_PRODUCT_TITLE), "");
    w.SetCheck(IDC_APPLY_PATCH, 1);
    EXPECT_EQ(w.GetCheck(IDC_APPLY_PATCH), 1);
    w.EnableControl(IDC_APPLY_PATCH, false);
    EXPECT_FALSE(w.IsControlEnabled(IDC_APPLY_PATCH));
    EXPECT_EQ(w.GetCheck(IDC_APPLY_PATCH), 1);  // disabling keeps the tick
    w.EnableControl(IDC_APPLY_PATCH, true);
    EXPECT_TRUE(w.IsControlEnabled(IDC_APPLY_PATCH));
    // Ids the window does not have are ignored and read as nothing.
    w.SetControlText(4321, "x");
    EXPECT_EQ(w.GetControlText(4321), "");
    EXPECT_EQ(w.GetCheck(4321), 0);
    EXPECT_FALSE(w.IsControlEnabled(4321));
    // Template flags: the default button is hidden and disabled; the edits are read-only.
    EXPECT_FALSE(w.IsControlEnabled(kIdOk));
  });
  EXPECT_EQ(RunScripted(sink), kIdOk);
  EXPECT_TRUE(sink.destroyed);
  // Setting the tick produced no click.
  for (const Event& e : sink.events) EXPECT_FALSE(e.kind == EventKind::Command && e.id == IDC_APPLY_PATCH);
}

TEST(Win32Backend, WindowOpensCentredWithFocusOnTheFirstTabStopAndGetsMenuIconsAndBusyCursor) {
  ScriptedSink sink([](DialogWindow& w) {
    HWND dialog = DialogWindowHandle();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kIdCancel));
    RECT window, area;
    GetWindowRect(dialog, &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);

    HMENU menu = GetSystemMenu(dialog, FALSE);
    const int before = GetMenuItemCount(menu);
    w.AppendSystemMenuItem(IDM_ABOUTBOX, "&About OVPatch...");
    ASSERT_EQ(GetMenuItemCount(menu), before + 2);
    EXPECT_EQ(GetMenuState(menu, before, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(menu, before + 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = {};
    GetMenuStringA(menu, before + 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About OVPatch...");

    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    w.SetIcon(icon, true);
    w.SetIcon(icon, false);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)), icon);

    w.BeginBusy();
    EXPECT_EQ(GetCapture(), dialog);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    w.EndBusy();
    EXPECT_EQ(GetCapture(), nullptr);
  });
  EXPECT_EQ(RunScripted(sink), kIdOk);
}

TEST(Win32Backend, PauseEndsOnAnyTimerAndOnQuitWhichStaysPending) {
  ScriptedSink sink([](DialogWindow& w) {
    HWND dialog = DialogWindowHandle();
    ASSERT_NE(dialog, nullptr);
    // Its own timer ends it with 0.
    EXPECT_EQ(w.PumpMessagesFor(0, 20), 0);
    // A timer message of some other timer ends a long pause at once, with 0.
    PostMessageA(dialog, WM_TIMER, 77, 0);
    EXPECT_EQ(w.PumpMessagesFor(0, 600000), 0);
    // A quit ends it with 1 and is posted again, with exit code 0.
    PostQuitMessage(5);
    EXPECT_EQ(w.PumpMessagesFor(0, 600000), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    // A destroy message ends it with 1 too (and is handed on like any other message).
    PostMessageA(nullptr, WM_DESTROY, 0, 0);
    EXPECT_EQ(w.PumpMessagesFor(0, 600000), 1);
    // The pause's timer is gone afterwards: nothing is left to end the next pause early.
    EXPECT_FALSE(PeekMessageA(&msg, dialog, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  });
  EXPECT_EQ(RunScripted(sink), kIdOk);
}

TEST(Win32Backend, CommandsSystemCommandsAndPaintReachTheSink) {
  ScriptedSink sink([](DialogWindow& w) {
    HWND dialog = DialogWindowHandle();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_FS_PATH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CHANGE_FS_PATH)));
    SendMessageA(dialog, WM_SYSCOMMAND, 17, 0);
    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
    SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
    EXPECT_FALSE(w.IsMinimized());
  });
  EXPECT_EQ(RunScripted(sink), kIdOk);
  auto has = [&](EventKind kind, int id) {
    for (const Event& e : sink.events)
      if (e.kind == kind && e.id == id) return true;
    return false;
  };
  EXPECT_TRUE(has(EventKind::Command, IDC_CHANGE_FS_PATH));
  EXPECT_TRUE(has(EventKind::SysCommand, 17));
  EXPECT_TRUE(has(EventKind::Paint, 0));
  EXPECT_TRUE(has(EventKind::QueryDragIcon, 0));
}

TEST(Win32Backend, TheCloseCommandByDefaultEndsTheDialogAsCancel) {
  ScriptedSink sink([](DialogWindow& w) {
    // Not ended by the script: Close arrives as command 2, which the sink ends with Cancel.
    w.DefaultSysCommand(SC_CLOSE, 0);
  }, false);
  EXPECT_EQ(RunScripted(sink), kIdCancel);
  bool cancelled = false;
  for (const Event& e : sink.events) cancelled |= e.kind == EventKind::Command && e.id == kIdCancel;
  EXPECT_TRUE(cancelled);
}

}  // namespace
