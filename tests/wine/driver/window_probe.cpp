#include "window_probe.h"

namespace wine_e2e {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

struct DialogSearch {
  DWORD pid;
  const std::string* caption;  // nullptr: collect every caption
  HWND found = nullptr;
  std::vector<std::string> captions;
};

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
  if (!search->caption) {
    search->captions.push_back(WindowText(window));
    return TRUE;
  }
  if (ClassName(window) == "#32770" && WindowText(window) == *search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct StaticSearch {
  std::string text;
  const std::string* wanted = nullptr;  // set: look for this text, not the first one
  bool found = false;
};

BOOL CALLBACK VisitStatic(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<StaticSearch*>(param);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (ClassName(child) == "Static" && (style & SS_TYPEMASK) != SS_ICON) {
    std::string text = WindowText(child);
    if (search->wanted) {
      if (text == *search->wanted) {
        search->found = true;
        return FALSE;
      }
    } else if (!text.empty()) {
      search->text = text;
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(pollMs);
  }
}

HWND FindDialog(DWORD pid, const std::string& caption) {
  DialogSearch search{pid, &caption, nullptr, {}};
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(pid, caption)) != nullptr; }, timeoutMs);
  return found;
}

struct TextDialogSearch {
  DWORD pid;
  const std::string* text;
  HWND found = nullptr;
};

BOOL CALLBACK VisitTopWindowForText(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TextDialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window) || ClassName(window) != "#32770") return TRUE;
  StaticSearch statics;
  statics.wanted = search->text;
  EnumChildWindows(window, VisitStatic, reinterpret_cast<LPARAM>(&statics));
  if (!statics.found) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForDialogWithText(DWORD pid, const std::string& text, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        TextDialogSearch search{pid, &text, nullptr};
        EnumWindows(VisitTopWindowForText, reinterpret_cast<LPARAM>(&search));
        return (found = search.found) != nullptr;
      },
      timeoutMs);
  return found;
}

bool WaitForDialogGone(DWORD pid, const std::string& caption, DWORD timeoutMs) {
  return WaitUntil([&] { return FindDialog(pid, caption) == nullptr; }, timeoutMs);
}

std::vector<std::string> WindowCaptions(DWORD pid) {
  DialogSearch search{pid, nullptr, nullptr, {}};
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.captions;
}

std::string WindowText(HWND window) {
  char text[2048] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return "<no answer>";
  return std::string(text, copied);
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? WindowText(control) : "<no control>";
}

bool WaitForControlText(HWND dialog, int id, const std::string& text, DWORD timeoutMs) {
  return WaitUntil([&] { return ControlText(dialog, id) == text; }, timeoutMs);
}

int CheckState(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                      &state);
  return static_cast<int>(state);
}

bool ControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool ControlVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND target, WORD virtualKey) {
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

HWND FocusedWindow(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string MessageBoxText(HWND box) {
  StaticSearch search;
  EnumChildWindows(box, VisitStatic, reinterpret_cast<LPARAM>(&search));
  return search.text;
}

void PressOk(HWND box) { Click(box, IDOK); }

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace wine_e2e
