#include "patch/context/settings.h"

int SyncApplyCheckbox(PatchContext& context, PatchView& view) {
  context.m_bApplyPatch = context.m_nPatchStatus != 0 ? 1 : 0;
  view.RefreshControls();
  return 0;
}
