#include "patch/engine/removal_sequence.h"

void RemovePatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  RestoreFiles(context, view);
  RemoveFiles(context, view);
  RenameBack(context, view);
}
