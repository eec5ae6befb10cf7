#include "ui/framework/win32/win32_window.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace {

// COM on this thread for the scope of one folder pick: initialised on entry and, when that
// succeeded (S_FALSE included: it was already initialised), uninitialised on exit.
class ScopedComApartment {
public:
  ScopedComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ScopedComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
  HRESULT result_;
};

}  // namespace

// ----- Controls

std::string Win32Window::GetControlText(int id) const {
  HWND control = GetDlgItem(hwnd_, id);
  if (!control) return "";
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  const UINT length = GetDlgItemTextA(hwnd_, id, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), length);
}

void Win32Window::SetControlText(int id, const std::string& text) {
  if (GetDlgItem(hwnd_, id)) SetDlgItemTextA(hwnd_, id, text.c_str());
}

int Win32Window::GetCheck(int id) const {
  return GetDlgItem(hwnd_, id) ? static_cast<int>(IsDlgButtonChecked(hwnd_, id)) : 0;
}

void Win32Window::SetCheck(int id, int state) {
  if (GetDlgItem(hwnd_, id)) CheckDlgButton(hwnd_, id, static_cast<UINT>(state));
}

bool Win32Window::IsControlEnabled(int id) const {
  HWND control = GetDlgItem(hwnd_, id);
  return control && IsWindowEnabled(control);
}

void Win32Window::EnableControl(int id, bool enable) {
  if (HWND control = GetDlgItem(hwnd_, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

void Win32Window::EndDialog(int result) { ::EndDialog(hwnd_, result); }

// ----- Window services

int Win32Window::ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return MessageBoxA(hwnd_, text.c_str(), caption.c_str(), type);
}

std::optional<std::string> Win32Window::BrowseForFolder(const std::string& title) {
  const ScopedComApartment com;  // the picker needs COM on this thread
  BROWSEINFOA info{};
  info.hwndOwner = hwnd_;
  info.pidlRoot = nullptr;  // the whole shell namespace
  info.lpszTitle = title.c_str();
  info.ulFlags = 0;
  info.lpfn = nullptr;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (!chosen) return std::nullopt;
  char path[MAX_PATH] = {};
  const bool hasPath = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  // A choice outside the file system (a printer, the network neighbourhood) counts as cancelled.
  if (!hasPath || path[0] == '\0') return std::nullopt;
  return std::string(path);
}

int Win32Window::PumpMessagesFor(unsigned timerId, unsigned milliseconds) {
  if (!SetTimer(hwnd_, timerId, milliseconds, nullptr)) return -1;
  int result = 0;
  bool quit = false;
  for (;;) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // Sleep until something arrives (input, a posted or sent message, a timer) instead of
      // spinning: the pause keeps its length and ends on the same messages.
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      continue;
    }
    bool ends = false;
    if (msg.message == WM_DESTROY) {
      result = 1;
      ends = true;
    } else if (msg.message == WM_QUIT) {
      result = 1;
      quit = true;
      ends = true;
    } else if (msg.message == WM_TIMER) {
      result = 0;
      ends = true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (ends) break;
  }
  KillTimer(hwnd_, timerId);
  if (quit) PostQuitMessage(0);
  return result;
}

void Win32Window::BeginBusy() {
  SetCapture(hwnd_);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void Win32Window::EndBusy() { ReleaseCapture(); }

void Win32Window::AppendSystemMenuItem(unsigned commandId, const std::string& text) {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, commandId, text.c_str());
}

void Win32Window::SetIcon(IconHandle icon, bool big) {
  SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Win32Window::DefaultSysCommand(unsigned id, intptr_t position) {
  // What the dialog manager would do: the frame's own handling; Close becomes WM_CLOSE and then
  // command IDCANCEL.
  DefWindowProcA(hwnd_, WM_SYSCOMMAND, id, position);
}

bool Win32Window::IsMinimized() const { return IsIconic(hwnd_) != FALSE; }

void Win32Window::DefaultPaint() { DefWindowProcA(hwnd_, WM_PAINT, 0, 0); }

void Win32Window::PaintIcon(IconHandle icon, IconPlacement place) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const Size iconSize{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  RECT client;
  GetClientRect(hwnd_, &client);
  const Point at = place(Size{client.right - client.left, client.bottom - client.top}, iconSize);
  DrawIcon(dc, at.x, at.y, static_cast<HICON>(icon));
  EndPaint(hwnd_, &paint);
}

// ----- Dialog procedure

void Win32Window::Centre() const {
  RECT window;
  GetWindowRect(hwnd_, &window);
  RECT workArea;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT area = workArea;
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  // Keep the whole window on the work area where it fits.
  x = std::max<int>(workArea.left, std::min<int>(x, workArea.right - width));
  y = std::max<int>(workArea.top, std::min<int>(y, workArea.bottom - height));
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR Win32Window::OnInitDialog(HWND hwnd) {
  hwnd_ = hwnd;
  sink_.OnWindowCreated(*this);
  const bool hasCentreStyle = (GetWindowLongA(hwnd, GWL_STYLE) & DS_CENTER) != 0;
  if (template_.x == 0 && template_.y == 0 && !hasCentreStyle) Centre();
  // TRUE lets the dialog manager focus the first visible, enabled tab stop.
  return sink_.InitializeDialog() ? TRUE : FALSE;
}

bool Win32Window::Deliver(const Event& event, intptr_t* value) {
  const EventResult result = sink_.OnEvent(event);
  if (value) *value = result.value;
  return result.handled;
}

INT_PTR CALLBACK Win32Window::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* window = reinterpret_cast<Win32Window*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    return window->OnInitDialog(hwnd);
  }
  auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!window) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return window->Deliver(Event{EventKind::Command, LOWORD(wParam), HIWORD(wParam), 0}) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
      return window->Deliver(Event{EventKind::SysCommand, static_cast<int>(wParam), 0,
                                   static_cast<intptr_t>(lParam)})
                 ? TRUE
                 : FALSE;
    case WM_PAINT:
      return window->Deliver(Event{EventKind::Paint}) ? TRUE : FALSE;
    case WM_QUERYDRAGICON: {
      intptr_t icon = 0;
      // The answer is the procedure's own result for this message.
      return window->Deliver(Event{EventKind::QueryDragIcon}, &icon) ? static_cast<INT_PTR>(icon) : FALSE;
    }
    case WM_DESTROY:
      window->sink_.OnWindowDestroyed();
      SetWindowLongPtrA(hwnd, DWLP_USER, 0);
      return FALSE;
    default:
      return FALSE;
  }
}
