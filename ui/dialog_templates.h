#pragma once
// The program's two dialog templates as data, control by control in template (= tab) order.
#include "ui/framework/dialog_template.h"

// Template 102: the main dialog.
const DialogTemplate& MainDialogTemplate();
// Template 100: the About box.
const DialogTemplate& AboutDialogTemplate();
