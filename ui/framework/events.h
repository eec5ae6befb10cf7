#pragma once
// Window events and the static per-class event tables that route them to operations.
#include <cstdint>
#include <span>

using IconHandle = void*;

enum class EventKind {
  Command,        // a control's notification, or a command such as 1 (OK) and 2 (Cancel)
  SysCommand,     // a system-menu or window-frame command: id = command, param = position
  Paint,          // the window needs painting
  QueryDragIcon,  // the icon to show while the minimised window is dragged
};

inline constexpr int kNotifyClicked = 0;  // button click (mouse, space bar or Enter)
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdHelp = 0xE146;    // the framework's standard Help command
inline constexpr unsigned kSysCommandClose = 0xF060;

struct Event {
  EventKind kind = EventKind::Command;
  int id = 0;            // Command: control or command id; SysCommand: command id
  int code = 0;          // Command: notification code
  intptr_t param = 0;    // SysCommand: position
};

// What an operation did with an event. Not handled: the framework or backend default applies.
struct EventResult {
  bool handled = false;
  intptr_t value = 0;  // QueryDragIcon: the icon handle
  static EventResult Handled(intptr_t value = 0) { return {true, value}; }
};

class CCmdTarget;
using EventHandler = EventResult (*)(CCmdTarget& target, const Event& event);

// One row of an event table: a Command row matches kind, notification code and control id; the
// other kinds match on the kind alone.
struct EventEntry {
  EventKind kind;
  int code;
  int id;
  EventHandler handler;
  bool Matches(const Event& event) const;
};

// Base of everything with an event table.
class CCmdTarget {
public:
  virtual ~CCmdTarget() = default;
  // The class's static table, in routing order; the first matching row wins.
  virtual std::span<const EventEntry> GetEventTable() const { return {}; }
  // Runs the first matching row's operation; not handled when no row matches.
  EventResult RouteEvent(const Event& event);
};

// Table rows bound to member operations of T (a CCmdTarget).
template <class T, void (T::*Operation)()>
constexpr EventEntry OnClicked(int controlId) {
  return {EventKind::Command, kNotifyClicked, controlId,
          [](CCmdTarget& target, const Event&) {
            (static_cast<T&>(target).*Operation)();
            return EventResult::Handled();
          }};
}

template <class T, void (T::*Operation)()>
constexpr EventEntry OnCommand(int commandId) {
  return OnClicked<T, Operation>(commandId);
}

template <class T, void (T::*Operation)(unsigned id, intptr_t position)>
constexpr EventEntry OnSysCommand() {
  return {EventKind::SysCommand, 0, 0, [](CCmdTarget& target, const Event& event) {
            (static_cast<T&>(target).*Operation)(static_cast<unsigned>(event.id), event.param);
            return EventResult::Handled();
          }};
}

template <class T, void (T::*Operation)()>
constexpr EventEntry OnPaint() {
  return {EventKind::Paint, 0, 0, [](CCmdTarget& target, const Event&) {
            (static_cast<T&>(target).*Operation)();
            return EventResult::Handled();
          }};
}

template <class T, IconHandle (T::*Operation)()>
constexpr EventEntry OnQueryDragIcon() {
  return {EventKind::QueryDragIcon, 0, 0, [](CCmdTarget& target, const Event&) {
            return EventResult::Handled(
                reinterpret_cast<intptr_t>((static_cast<T&>(target).*Operation)()));
          }};
}
