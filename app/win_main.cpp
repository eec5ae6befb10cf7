// OVPatch.exe: the application object on the real windows backend.
#include <windows.h>

#include "app/patch_app.h"
#include "ui/framework/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Backend backend;
  UseDialogBackend(&backend);
  CPatchApp app;
  app.Run();
  UseDialogBackend(nullptr);
  return 0;  // the exit status carries no meaning
}
