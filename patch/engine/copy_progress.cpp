#include "patch/engine/copy_progress.h"

#include <cstdio>

void ShowCopyProgress(PatchContext& context, PatchView& view, const char* format, int number) {
  char text[64];
  std::snprintf(text, sizeof text, format, number);
  context.m_strStatus = text;
  view.RefreshControls();
  view.PumpMessagesFor(0, 50);
}
