#pragma once
// Turns template data into the binary extended dialog template the dialog manager reads
// (DLGTEMPLATEEX with its DLGITEMTEMPLATEEX items), styled as the resource compiler styles them.
#include <cstdint>
#include <vector>

#include "ui/framework/dialog_template.h"

// The template as 16-bit words, ready for DialogBoxIndirectParamA (keep it DWORD-aligned).
std::vector<uint16_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate);

// The window styles of a dialog and of a control (WS_*, DS_*, BS_*, ES_*, SS_*).
uint32_t DialogWindowStyle(const DialogTemplate& dialogTemplate);
uint32_t DialogExtendedStyle(const DialogTemplate& dialogTemplate);
uint32_t ControlWindowStyle(const ControlTemplate& control);
