#include "ui/framework/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/framework/win32/memory_template.h"
#include "ui/framework/win32/win32_window.h"

void Win32Backend::InitializeApplication() {
  if (initialized_) return;
  initialized_ = true;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

int Win32Backend::RunModal(const DialogTemplate& dialogTemplate, DialogEventSink& sink, DialogWindow* owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND ownerWindow = owner ? static_cast<Win32Window*>(owner)->hwnd() : nullptr;
  Win32Window window(dialogTemplate, sink);
  const LPARAM param = reinterpret_cast<LPARAM>(&window);
  INT_PTR result;
  if (FindResourceA(instance, MAKEINTRESOURCEA(dialogTemplate.id), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) {
    result = DialogBoxParamA(instance, MAKEINTRESOURCEA(dialogTemplate.id), ownerWindow,
                             Win32Window::DialogProc, param);
  } else {
    // No resource of that number (a test program): build the same window from the data.
    const std::vector<uint16_t> words = BuildDialogTemplate(dialogTemplate);
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
    CopyMemory(aligned.data(), words.data(), words.size() * sizeof(uint16_t));
    result = DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()), ownerWindow,
                                     Win32Window::DialogProc, param);
  }
  return static_cast<int>(result);
}

IconHandle Win32Backend::LoadIconResource(int id) {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

std::string Win32Backend::LoadStringResource(int id) {
  char text[1024] = {};
  const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text);
  return std::string(text, static_cast<size_t>(length > 0 ? length : 0));
}
