#include "ui/framework/headless/headless_backend.h"

namespace {

constexpr Size kSystemIconSize{32, 32};

bool IsButtonKind(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton ||
         kind == ControlKind::AutoCheckBox;
}

// Dialog units of an 8-point system font as pixels: 6 x 13 pixel characters.
Size ClientSizeOf(const DialogTemplate& dialogTemplate) {
  return {dialogTemplate.width * 6 / 4, dialogTemplate.height * 13 / 8};
}

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessBackend& backend, const DialogTemplate& dialogTemplate,
                               DialogEventSink& sink, HeadlessWindow* owner)
    : backend_(backend), template_(dialogTemplate), sink_(sink), owner_(owner),
      client_(ClientSizeOf(dialogTemplate)) {
  for (const ControlTemplate& control : dialogTemplate.controls) {
    if (control.id == kNoControlId) continue;
    controls_[control.id] = {control.text, 0, (control.flags & kControlDisabled) == 0,
                             (control.flags & kControlHidden) == 0};
  }
}

HeadlessWindow::ControlState* HeadlessWindow::Find(int id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const HeadlessWindow::ControlState* HeadlessWindow::Find(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

EventResult HeadlessWindow::Dispatch(const Event& event) {
  EventResult result = sink_.OnEvent(event);
  if (result.handled) return result;
  if (event.kind == EventKind::SysCommand) {
    DefaultSysCommand(static_cast<unsigned>(event.id), event.param);
  } else if (event.kind == EventKind::Paint) {
    DefaultPaint();
  }
  return result;
}

bool HeadlessWindow::CanFocus(const ControlTemplate& control) const {
  const ControlState* state = Find(control.id);
  return state && state->visible && state->enabled && (control.flags & kControlTabStop) != 0;
}

bool HeadlessWindow::Clickable(int id) const {
  const ControlTemplate* control = template_.FindControl(id);
  const ControlState* state = Find(id);
  return enabled_ && !ended_ && control && state && IsButtonKind(control->kind) &&
         state->visible && state->enabled;
}

// The click itself, once it has reached the control: an automatic checkbox toggles, then the
// click notification is routed.
bool HeadlessWindow::Activate(int id) {
  if (!Clickable(id)) return false;
  if (template_.FindControl(id)->kind == ControlKind::AutoCheckBox) {
    ControlState& state = *Find(id);
    state.check = (state.check & 1) ? 0 : 1;
  }
  Dispatch({EventKind::Command, id, kNotifyClicked, 0});
  return true;
}

bool HeadlessWindow::Click(int id) {
  // While another window holds the mouse, clicks do not reach the controls.
  if (capture_ || !Clickable(id)) return false;
  FocusControl(id);
  return Activate(id);
}

bool HeadlessWindow::FocusControl(int id) {
  const ControlState* state = Find(id);
  if (!enabled_ || !state || !state->visible || !state->enabled) return false;
  focus_ = id;
  return true;
}

void HeadlessWindow::FocusFirstTabStop() {
  for (const ControlTemplate& control : template_.controls) {
    if (CanFocus(control)) {
      focus_ = control.id;
      return;
    }
  }
}

void HeadlessWindow::PressEscape() {
  if (enabled_ && !ended_) Dispatch({EventKind::Command, kIdCancel, kNotifyClicked, 0});
}

bool HeadlessWindow::PressEnter() {
  if (!enabled_ || ended_) return false;
  const ControlTemplate* focused = template_.FindControl(focus_);
  if (focused && (focused->kind == ControlKind::PushButton ||
                  focused->kind == ControlKind::DefaultPushButton)) {
    return Activate(focus_);
  }
  for (const ControlTemplate& control : template_.controls) {
    if (control.kind == ControlKind::DefaultPushButton) return Activate(control.id);
  }
  return false;
}

bool HeadlessWindow::PressSpace() { return enabled_ && Activate(focus_); }

void HeadlessWindow::PressTab() {
  const auto& controls = template_.controls;
  size_t start = controls.size();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id == focus_ && focus_ != kNoControlId) start = i;
  }
  for (size_t step = 1; step <= controls.size(); ++step) {
    const ControlTemplate& candidate = controls[(start + step) % controls.size()];
    if (CanFocus(candidate)) {
      focus_ = candidate.id;
      return;
    }
  }
}

void HeadlessWindow::SendSysCommand(unsigned id, intptr_t position) {
  if (enabled_ && !ended_) Dispatch({EventKind::SysCommand, static_cast<int>(id), 0, position});
}

void HeadlessWindow::RequestPaint() { Dispatch({EventKind::Paint, 0, 0, 0}); }

IconHandle HeadlessWindow::QueryDragIcon() {
  EventResult result = Dispatch({EventKind::QueryDragIcon, 0, 0, 0});
  return result.handled ? reinterpret_cast<IconHandle>(result.value) : nullptr;
}

std::string HeadlessWindow::GetControlText(int id) const {
  const ControlState* state = Find(id);
  return state ? state->text : "";
}

void HeadlessWindow::SetControlText(int id, const std::string& text) {
  ControlState* state = Find(id);
  if (!state || state->text == text) return;
  state->text = text;
  if (backend_.onControlTextChanged) backend_.onControlTextChanged(id, text);
}

int HeadlessWindow::GetCheck(int id) const {
  const ControlState* state = Find(id);
  return state ? state->check : 0;
}

void HeadlessWindow::SetCheck(int id, int state) {
  if (ControlState* control = Find(id)) control->check = state;
}

bool HeadlessWindow::IsControlEnabled(int id) const {
  const ControlState* state = Find(id);
  return state && state->enabled;
}

void HeadlessWindow::EnableControl(int id, bool enable) {
  ControlState* state = Find(id);
  if (!state) return;
  state->enabled = enable;
}

void HeadlessWindow::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

int HeadlessWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                   unsigned type) {
  capture_ = false;  // a message box takes the mouse away from the capturing window
  HeadlessMessageBox box{text, caption, type};
  backend_.messageBoxes.push_back(box);
  if (backend_.onMessageBox) backend_.onMessageBox(box);
  return kMessageBoxAnswerOk;
}

std::optional<std::string> HeadlessWindow::BrowseForFolder(const std::string& title) {
  backend_.pickerTitles.push_back(title);
  if (backend_.folderAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = backend_.folderAnswers.front();
  backend_.folderAnswers.pop_front();
  return answer;
}

int HeadlessWindow::PumpMessagesFor(unsigned /*timerId*/, unsigned milliseconds) {
  backend_.pauses.push_back(milliseconds);
  if (!backend_.pauseSteps.empty()) {
    HeadlessBackend::Step step = std::move(backend_.pauseSteps.front());
    backend_.pauseSteps.pop_front();
    step(*this);
  }
  return backend_.pauseResult;
}

void HeadlessWindow::BeginBusy() {
  capture_ = true;
  ++busyCount_;
  ++busyDepth_;
}

void HeadlessWindow::EndBusy() {
  capture_ = false;
  --busyDepth_;
}

void HeadlessWindow::AppendSystemMenuItem(unsigned /*commandId*/, const std::string& text) {
  if ((template_.style & kDialogSystemMenu) == 0) return;
  systemMenu_.push_back("");
  systemMenu_.push_back(text);
}

void HeadlessWindow::SetIcon(IconHandle icon, bool big) { (big ? bigIcon_ : smallIcon_) = icon; }

void HeadlessWindow::DefaultSysCommand(unsigned id, intptr_t /*position*/) {
  if ((id & 0xFFF0) == kSysCommandClose) Dispatch({EventKind::Command, kIdCancel, kNotifyClicked, 0});
}

void HeadlessWindow::PaintIcon(IconHandle /*icon*/, IconPlacement place) {
  paintedIconAt_ = place(client_, kSystemIconSize);
}
