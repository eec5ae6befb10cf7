#pragma once
// The numbered status text shown before each file copy of the install and removal steps.
#include "patch/context/patch_context.h"
#include "patch/patch_view.h"

// Puts `format` (one "%d") with `number` in the status line, refreshes it and lets the window
// repaint for 50 ms.
void ShowCopyProgress(PatchContext& context, PatchView& view, const char* format, int number);
