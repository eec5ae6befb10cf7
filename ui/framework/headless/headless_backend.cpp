#include "ui/framework/headless/headless_backend.h"

void HeadlessBackend::RunSteps(HeadlessWindow& window) {
  while (!window.IsEnded() && !steps.empty()) {
    Step step = std::move(steps.front());
    steps.pop_front();
    step(window);
  }
}

int HeadlessBackend::RunModal(const DialogTemplate& dialogTemplate, DialogEventSink& sink,
                              DialogWindow* owner) {
  auto* ownerWindow = dynamic_cast<HeadlessWindow*>(owner);
  HeadlessWindow window(*this, dialogTemplate, sink, ownerWindow);
  modalTemplates.push_back(dialogTemplate.id);
  const bool ownerWasEnabled = ownerWindow && ownerWindow->IsEnabled();
  if (ownerWindow) ownerWindow->SetEnabled(false);
  open_.push_back(&window);

  sink.OnWindowCreated(window);
  if (sink.InitializeDialog()) window.FocusFirstTabStop();
  RunSteps(window);
  if (!window.IsEnded()) window.PressEscape();
  if (!window.IsEnded()) window.EndDialog(kIdCancel);

  open_.pop_back();
  if (ownerWindow) ownerWindow->SetEnabled(ownerWasEnabled);
  sink.OnWindowDestroyed();
  return window.Result();
}

IconHandle HeadlessBackend::LoadIconResource(int id) {
  std::unique_ptr<int>& icon = icons_[id];
  if (!icon) icon = std::make_unique<int>(id);
  return icon.get();
}

std::string HeadlessBackend::LoadStringResource(int id) {
  auto it = strings.find(id);
  return it == strings.end() ? "" : it->second;
}
