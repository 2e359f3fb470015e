#pragma once
// Message maps: per dialog class, a table of {message, control id, handler}
// built from member-function pointers, so that a wrong handler signature is a
// compile error. Dispatch searches the class's own table first, then its base
// class's, then falls back to the dialog's default handling.

#include <variant>
#include <vector>

#include "ui/core/Icon.h"
#include "ui/core/WindowTypes.h"

namespace ui {

class ModalDialog;

// One message as the dispatcher sees it.
struct Message {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// The type-independent face of a message map: tries its own entries and
// names the map of the base class.
class MessageMapBase {
 public:
  explicit MessageMapBase(const MessageMapBase* base) : m_base(base) {}
  virtual ~MessageMapBase() = default;
  const MessageMapBase* Base() const { return m_base; }
  // Runs the first matching entry; false when no entry matches.
  virtual bool Dispatch(ModalDialog& dialog, const Message& message, LRESULT& result) const = 0;

 private:
  const MessageMapBase* m_base;
};

template <class T>
class MessageMap final : public MessageMapBase {
 public:
  using CommandHandler = void (T::*)();
  using TimerHandler = void (T::*)(UINT);
  using SysCommandHandler = void (T::*)(UINT, LPARAM);
  using DragIconHandler = HICON (T::*)();

  struct Entry {
    UINT message;
    int controlId;  // for WM_COMMAND: the button; otherwise unused
    std::variant<CommandHandler, TimerHandler, SysCommandHandler, DragIconHandler> handler;
  };

  MessageMap(const MessageMapBase* base, std::vector<Entry> entries)
      : MessageMapBase(base), m_entries(std::move(entries)) {}

  bool Dispatch(ModalDialog& dialog, const Message& message, LRESULT& result) const override {
    T& self = static_cast<T&>(dialog);
    for (const Entry& entry : m_entries) {
      if (entry.message != message.message)
        continue;
      if (message.message == WM_COMMAND) {
        if (static_cast<int>(LowWord(message.wParam)) != entry.controlId ||
            HighWord(message.wParam) != BN_CLICKED) {
          continue;
        }
      }
      std::visit(
          [&](auto handler) {
            using H = decltype(handler);
            if constexpr (std::is_same_v<H, CommandHandler>) {
              (self.*handler)();
            } else if constexpr (std::is_same_v<H, TimerHandler>) {
              (self.*handler)(static_cast<UINT>(message.wParam));
            } else if constexpr (std::is_same_v<H, SysCommandHandler>) {
              (self.*handler)(static_cast<UINT>(message.wParam), message.lParam);
            } else {
              result = reinterpret_cast<LRESULT>((self.*handler)());
            }
          },
          entry.handler);
      return true;
    }
    return false;
  }

  // Entry builders, named after the messages they bind.
  static Entry OnCommand(int controlId, CommandHandler handler) {
    return {WM_COMMAND, controlId, handler};
  }
  static Entry OnTimer(TimerHandler handler) { return {WM_TIMER, 0, handler}; }
  static Entry OnSysCommand(SysCommandHandler handler) { return {WM_SYSCOMMAND, 0, handler}; }
  static Entry OnPaint(CommandHandler handler) { return {WM_PAINT, 0, handler}; }
  static Entry OnQueryDragIcon(DragIconHandler handler) { return {WM_QUERYDRAGICON, 0, handler}; }

 private:
  std::vector<Entry> m_entries;
};

}  // namespace ui
