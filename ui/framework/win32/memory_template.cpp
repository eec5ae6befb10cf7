#include "ui/framework/win32/memory_template.h"

#include <windows.h>

#include <string>

namespace {

// Predefined window classes by their atom, as the resource compiler stores them.
constexpr uint16_t kButtonAtom = 0x0080;
constexpr uint16_t kEditAtom = 0x0081;
constexpr uint16_t kStaticAtom = 0x0082;

// Font of the template: normal weight, not italic, default character set.
constexpr uint16_t kFontWeight = FW_NORMAL;
constexpr uint8_t kFontItalic = 0;
constexpr uint8_t kFontCharset = DEFAULT_CHARSET;

class TemplateWriter {
public:
  void Word(uint16_t value) { words_.push_back(value); }
  void DWord(uint32_t value) {
    Word(static_cast<uint16_t>(value & 0xFFFF));
    Word(static_cast<uint16_t>(value >> 16));
  }
  // A zero-terminated UTF-16 string from system code page text.
  void Text(const std::string& text) {
    if (!text.empty()) {
      const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(length), L'\0');
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
      for (wchar_t c : wide) Word(static_cast<uint16_t>(c));
    }
    Word(0);
  }
  void Ordinal(uint16_t value) {
    Word(0xFFFF);
    Word(value);
  }
  void AlignToDWord() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<uint16_t> Take() { return std::move(words_); }

private:
  std::vector<uint16_t> words_;
};

uint16_t ClassAtom(ControlKind kind) {
  switch (kind) {
    case ControlKind::Edit:
      return kEditAtom;
    case ControlKind::Label:
    case ControlKind::Icon:
      return kStaticAtom;
    default:
      return kButtonAtom;
  }
}

}  // namespace

uint32_t DialogWindowStyle(const DialogTemplate& t) {
  uint32_t style = DS_SETFONT;
  if (t.style & kDialogPopup) style |= WS_POPUP;
  if (t.style & kDialogVisible) style |= WS_VISIBLE;
  if (t.style & kDialogCaption) style |= WS_CAPTION;
  if (t.style & kDialogSystemMenu) style |= WS_SYSMENU;
  if (t.style & kDialogModalFrame) style |= DS_MODALFRAME;
  return style;
}

uint32_t DialogExtendedStyle(const DialogTemplate& t) {
  return (t.style & kDialogAppWindow) ? WS_EX_APPWINDOW : 0;
}

uint32_t ControlWindowStyle(const ControlTemplate& c) {
  uint32_t style = WS_CHILD;
  if (!(c.flags & kControlHidden)) style |= WS_VISIBLE;
  if (c.flags & kControlDisabled) style |= WS_DISABLED;
  if (c.flags & kControlTabStop) style |= WS_TABSTOP;
  if (c.flags & kControlGroup) style |= WS_GROUP;
  if (c.flags & kControlBorder) style |= WS_BORDER;
  switch (c.kind) {
    case ControlKind::PushButton:
      style |= BS_PUSHBUTTON;
      break;
    case ControlKind::DefaultPushButton:
      style |= BS_DEFPUSHBUTTON;
      break;
    case ControlKind::AutoCheckBox:
      style |= BS_AUTOCHECKBOX;
      if (c.flags & kControlLeftText) style |= BS_LEFTTEXT;
      break;
    case ControlKind::Edit:
      style |= ES_LEFT;
      if (c.flags & kControlReadOnly) style |= ES_READONLY;
      if (c.flags & kControlAutoHScroll) style |= ES_AUTOHSCROLL;
      break;
    case ControlKind::Label:
      style |= SS_LEFT;
      break;
    case ControlKind::Icon:
      style |= SS_ICON;
      break;
  }
  return style;
}

std::vector<uint16_t> BuildDialogTemplate(const DialogTemplate& t) {
  TemplateWriter out;
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: extended template
  out.DWord(0);      // helpID
  out.DWord(DialogExtendedStyle(t));
  out.DWord(DialogWindowStyle(t));
  out.Word(static_cast<uint16_t>(t.controls.size()));
  out.Word(static_cast<uint16_t>(t.x));
  out.Word(static_cast<uint16_t>(t.y));
  out.Word(static_cast<uint16_t>(t.width));
  out.Word(static_cast<uint16_t>(t.height));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(t.title);
  out.Word(static_cast<uint16_t>(t.fontPoints));
  out.Word(kFontWeight);
  out.Word(static_cast<uint16_t>(kFontItalic | (kFontCharset << 8)));
  out.Text(t.fontName);
  for (const ControlTemplate& c : t.controls) {
    out.AlignToDWord();
    out.DWord(0);  // helpID
    out.DWord(0);  // extended style
    out.DWord(ControlWindowStyle(c));
    out.Word(static_cast<uint16_t>(c.x));
    out.Word(static_cast<uint16_t>(c.y));
    out.Word(static_cast<uint16_t>(c.width));
    out.Word(static_cast<uint16_t>(c.height));
    out.DWord(static_cast<uint32_t>(c.id));
    out.Ordinal(ClassAtom(c.kind));
    if (c.kind == ControlKind::Icon) {
      out.Ordinal(static_cast<uint16_t>(c.resourceId));
    } else {
      out.Text(c.text);
    }
    out.Word(0);  // no creation data
  }
  return out.Take();
}
