#include "ui/dialog_templates.h"

#include "ui/framework/events.h"
#include "ui/res/resource.h"

namespace {

constexpr uint32_t kEditFlags = kControlReadOnly | kControlBorder | kControlAutoHScroll | kControlTabStop;

// What both dialogs share: position 0, 0 (centred by the framework) and 8-point "MS Sans Serif".
DialogTemplate DialogFrame(int id, const char* title, int width, int height, uint32_t style) {
  DialogTemplate t;
  t.id = id;
  t.title = title;
  t.x = 0, t.y = 0, t.width = width, t.height = height;
  t.fontName = "MS Sans Serif";
  t.fontPoints = 8;
  t.style = style;
  return t;
}

DialogTemplate MakeMainDialog() {
  DialogTemplate t = DialogFrame(IDD_OVPATCH_DIALOG, "Orvane Compatibility Patcher", 399, 89,
                                 kDialogPopup | kDialogVisible | kDialogCaption |
                                     kDialogSystemMenu | kDialogModalFrame | kDialogAppWindow);
  t.controls = {
      {kIdOk, ControlKind::DefaultPushButton, "OK", 7, 69, 19, 14,
       kControlHidden | kControlDisabled | kControlTabStop},
      {kIdCancel, ControlKind::PushButton, "Done", 307, 61, 85, 22, kControlTabStop},
      {IDC_CHANGE_FS_PATH, ControlKind::PushButton, "Change FS2004 Path", 308, 7, 84, 14, kControlTabStop},
      {IDC_FS_PATH, ControlKind::Edit, "", 91, 7, 212, 14, kEditFlags},
      {IDC_STATIC, ControlKind::Label, "FS2004 Installation Path", 11, 10, 78, 8, kControlGroup},
      {IDC_STATIC, ControlKind::Label, "Product To Be Patched", 11, 27, 76, 8, kControlGroup},
      {IDC_PRODUCT_TITLE, ControlKind::Edit, "", 91, 25, 212, 14, kEditFlags},
      {IDC_APPLY_PATCH, ControlKind::AutoCheckBox, "Apply Patch", 44, 65, 54, 10,
       kControlLeftText | kControlTabStop},
      {IDC_STATUS, ControlKind::Label, "", 105, 66, 196, 8, kControlGroup},
      {IDC_PRODUCT_PATH, ControlKind::Edit, "", 91, 43, 212, 14, kEditFlags},
      {IDC_STATIC, ControlKind::Label, "Product Install Path", 23, 44, 62, 8, kControlGroup},
      {IDC_CHANGE_INSTALL_PATH, ControlKind::PushButton, "Change Install Path", 308, 43, 84, 14,
       kControlTabStop},
  };
  return t;
}

DialogTemplate MakeAboutDialog() {
  DialogTemplate t = DialogFrame(IDD_ABOUTBOX, "About OVPatch", 235, 55,
                                 kDialogPopup | kDialogCaption | kDialogSystemMenu | kDialogModalFrame);
  t.controls = {
      {IDC_STATIC, ControlKind::Icon, "", 11, 17, 20, 20, 0, IDR_MAINFRAME},
      {IDC_STATIC, ControlKind::Label, "OVPatch Version 1.0 (model 4)", 40, 10, 119, 8, kControlGroup},
      {IDC_STATIC, ControlKind::Label, "Orvane scenery compatibility patch", 40, 25, 119, 8,
       kControlGroup},
      {kIdOk, ControlKind::DefaultPushButton, "OK", 178, 7, 50, 14, kControlGroup | kControlTabStop},
  };
  return t;
}

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  static const DialogTemplate t = MakeMainDialog();
  return t;
}

const DialogTemplate& AboutDialogTemplate() {
  static const DialogTemplate t = MakeAboutDialog();
  return t;
}
