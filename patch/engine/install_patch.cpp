#include "patch/engine/install_sequence.h"
#include "patch/engine/scenery_library.h"

void InstallPatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  CreateFolders(context, view);
  RegisterExcludeArea(context, view);
  RenameForward(context, view);
  BackupFiles(context, view);
  InstallFiles(context, view);
}
