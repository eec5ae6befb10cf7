#pragma once
// Finding and operating another process's dialogs the way a person would: by caption, by control,
// by click and key. Every wait is bounded; clicks and keys are posted so that a click that opens a
// modal box never blocks the driver.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wine_e2e {

// Polls `condition` every `pollMs` milliseconds until it holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 20);

// A visible top-level dialog (class "#32770") of process `pid` with exactly this caption.
HWND FindDialog(DWORD pid, const std::string& caption);
HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs);
// A visible top-level dialog of process `pid` holding a static text exactly `text` (for boxes
// whose caption the system chooses, such as the folder picker).
HWND WaitForDialogWithText(DWORD pid, const std::string& text, DWORD timeoutMs);
// True once no such dialog is shown any more.
bool WaitForDialogGone(DWORD pid, const std::string& caption, DWORD timeoutMs);
// Captions of all visible top-level windows of `pid`, for failure messages.
std::vector<std::string> WindowCaptions(DWORD pid);

// Text of any window (asked through WM_GETTEXT, so controls of other processes answer too).
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool WaitForControlText(HWND dialog, int id, const std::string& text, DWORD timeoutMs);
// BST_CHECKED / BST_UNCHECKED of a checkbox.
int CheckState(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);

// Posts BM_CLICK to the control, as a mouse click on it does.
void Click(HWND dialog, int id);
// Posts a key press and release to `target`.
void PressKey(HWND target, WORD virtualKey);
// The window that has the keyboard focus in the thread that owns `dialog`.
HWND FocusedWindow(HWND dialog);

// The message text of a message box (its static text that is not the icon).
std::string MessageBoxText(HWND box);
// Presses the box's OK button.
void PressOk(HWND box);

// The dialog's window rectangle on the screen.
RECT ScreenRect(HWND window);

}  // namespace wine_e2e
