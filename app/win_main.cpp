// OVPatch.exe: the application object on the real windows backend.
#include <windows.h>

#include "app/patch_app.h"
#include "ui/framework/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Backend backend;
  ScopedDialogBackend activeBackend(backend);
  CPatchApp app;
  app.Run();
  return 0;  // the exit status carries no meaning
}
