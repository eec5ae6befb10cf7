#pragma once
// Where the minimised main dialog draws its icon: centred in the client area, each coordinate
// (client - icon + 1) / 2 with C++ division (truncation toward zero, so 30 - 32 + 1 gives 0).
#include "ui/framework/dialog_backend.h"

Point CentredIconPosition(Size client, Size icon);
