#pragma once
// A dialog template as data: the window's title, size and style, and its controls in template
// (= tab) order. Positions and sizes are dialog units of the template's font. A backend builds the
// window from this, or from the resource of the same id where it has one.
#include <cstdint>
#include <string>
#include <vector>

enum class ControlKind {
  PushButton,
  DefaultPushButton,  // the dialog's default button (Enter)
  Edit,               // single-line edit
  Label,              // static text, left-aligned
  AutoCheckBox,       // toggles its own tick on a click, before the click is reported
  Icon,               // static icon showing icon resource `resourceId`
};

// Control flags (bit mask).
enum ControlFlag : uint32_t {
  kControlHidden = 1u << 0,      // not visible (all others are)
  kControlDisabled = 1u << 1,
  kControlTabStop = 1u << 2,
  kControlGroup = 1u << 3,       // starts a group
  kControlReadOnly = 1u << 4,    // edits: the user cannot change the text
  kControlBorder = 1u << 5,
  kControlAutoHScroll = 1u << 6, // edits: scroll horizontally
  kControlLeftText = 1u << 7,    // checkbox: text left of the box
};

// Dialog style flags (bit mask).
enum DialogStyle : uint32_t {
  kDialogPopup = 1u << 0,
  kDialogVisible = 1u << 1,
  kDialogCaption = 1u << 2,
  kDialogSystemMenu = 1u << 3,
  kDialogModalFrame = 1u << 4,
  kDialogAppWindow = 1u << 5,  // extended style: shown in the task bar
};

inline constexpr int kNoControlId = -1;

struct ControlTemplate {
  int id = kNoControlId;
  ControlKind kind = ControlKind::Label;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
  uint32_t flags = 0;
  int resourceId = 0;  // Icon: the icon resource shown
};

struct DialogTemplate {
  int id = 0;  // resource number
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;  // position 0, 0: centred by the framework
  std::string fontName;
  int fontPoints = 8;
  uint32_t style = 0;
  std::vector<ControlTemplate> controls;

  // The control with `id`, or nullptr (also for kNoControlId).
  const ControlTemplate* FindControl(int controlId) const;
};
