#include "ui/framework/dialog_template.h"

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
  if (controlId == kNoControlId) return nullptr;
  for (const ControlTemplate& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}
