#include "ui/framework/events.h"

bool EventEntry::Matches(const Event& event) const {
  if (kind != event.kind) return false;
  if (kind == EventKind::Command) return code == event.code && id == event.id;
  return true;
}

EventResult CCmdTarget::RouteEvent(const Event& event) {
  for (const EventEntry& entry : GetEventTable()) {
    if (entry.Matches(event)) return entry.handler(*this, event);
  }
  return {};
}
