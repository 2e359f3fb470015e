#include "ui/headless/HeadlessBackend.h"

#include <algorithm>

#include "ui/core/DeviceContext.h"
#include "ui/core/Dialog.h"

namespace ui::headless {

HeadlessBackend::HeadlessBackend() {
  SetBackend(this);
}

HeadlessBackend::~HeadlessBackend() {
  SetBackend(nullptr);
}

HeadlessBackend& HeadlessBackend::Then(std::function<void()> step) {
  m_steps.push_back(std::move(step));
  return *this;
}

HeadlessBackend& HeadlessBackend::Click(int controlId) {
  return Then([this, controlId] {
    HeadlessWindow* window = Top();
    const HeadlessControl* control = window ? window->Control(controlId) : nullptr;
    if (control == nullptr) {
      ScriptError("click on missing control " + std::to_string(controlId));
      return;
    }
    if (control->kind == ControlKind::CheckBox) {
      window->SetCheck(controlId, control->check == 0 ? 1 : 0);
    } else if (control->kind != ControlKind::PushButton &&
               control->kind != ControlKind::DefPushButton) {
      ScriptError("click on a control that is not a button: " + std::to_string(controlId));
      return;
    }
    window->SetFocusTo(controlId);
    window->Dialog().SendMessage(WM_COMMAND, MakeWParam(static_cast<UINT>(controlId), BN_CLICKED));
  });
}

HeadlessBackend& HeadlessBackend::Type(int controlId, std::string text) {
  return Then([this, controlId, text = std::move(text)] {
    HeadlessWindow* window = Top();
    const HeadlessControl* control = window ? window->Control(controlId) : nullptr;
    if (control == nullptr || control->kind != ControlKind::Edit) {
      ScriptError("typing into a control that is not an edit box: " + std::to_string(controlId));
      return;
    }
    window->SetFocusTo(controlId);
    window->SetControlText(controlId, text);
  });
}

HeadlessBackend& HeadlessBackend::Key(DialogKey key) {
  return Then([this, key] {
    if (HeadlessWindow* window = Top())
      window->Dialog().HandleKey(key);
  });
}

HeadlessBackend& HeadlessBackend::Tab(bool backwards) {
  return Then([this, backwards] {
    if (HeadlessWindow* window = Top())
      window->TabToNext(backwards);
  });
}

HeadlessBackend& HeadlessBackend::Space() {
  return Then([this] {
    HeadlessWindow* window = Top();
    if (window == nullptr)
      return;
    const int id = window->FocusId();
    const HeadlessControl* control = window->Control(id);
    if (control == nullptr)
      return;
    if (control->kind == ControlKind::CheckBox) {
      window->SetCheck(id, control->check == 0 ? 1 : 0);
    } else if (control->kind != ControlKind::PushButton &&
               control->kind != ControlKind::DefPushButton) {
      return;
    }
    window->Dialog().SendMessage(WM_COMMAND, MakeWParam(static_cast<UINT>(id), BN_CLICKED));
  });
}

HeadlessBackend& HeadlessBackend::CloseBox() {
  return ChooseSystemMenu(SC_CLOSE);
}

HeadlessBackend& HeadlessBackend::ChooseSystemMenu(UINT id) {
  return Then([this, id] {
    if (HeadlessWindow* window = Top())
      window->Dialog().SendMessage(WM_SYSCOMMAND, id, 0);
  });
}

HeadlessBackend& HeadlessBackend::Wait(int milliseconds) {
  return Then([this, milliseconds] { Advance(milliseconds); });
}

HeadlessBackend& HeadlessBackend::AnswerFileDialog(std::optional<std::string> path) {
  m_fileAnswers.push_back(std::move(path));
  return *this;
}

bool HeadlessBackend::AnyEnding() const {
  // Only the innermost dialog's end stops the clock: a lower dialog that ends
  // itself waits for the dialogs above it, whose time goes on.
  return !m_stack.empty() && m_stack.back()->Ending();
}

void HeadlessBackend::Advance(int milliseconds) {
  const std::int64_t target = m_now + std::max(0, milliseconds);
  while (!AnyEnding()) {
    auto next =
        std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
          return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    if (next == m_timers.end() || next->due > target)
      break;
    m_now = next->due;
    next->due += next->interval;
    HeadlessWindow* window = next->window;
    const UINT id = next->id;
    // The handler may kill or replace timers, so nothing refers into the
    // table across the call.
    window->Dialog().SendMessage(WM_TIMER, id, 0);
  }
  if (!AnyEnding())
    m_now = target;
}

HeadlessWindow* HeadlessBackend::FindWindow(int templateId) const {
  for (HeadlessWindow* window : m_windows) {
    if (window->TemplateId() == templateId)
      return window;
  }
  return nullptr;
}

bool HeadlessBackend::HasTimer(const HeadlessWindow& window, UINT id) const {
  return TimerInterval(window, id) >= 0;
}

int HeadlessBackend::TimerInterval(const HeadlessWindow& window, UINT id) const {
  for (const Timer& timer : m_timers) {
    if (timer.window == &window && timer.id == id)
      return timer.interval;
  }
  return -1;
}

std::unique_ptr<NativeDialog> HeadlessBackend::CreateDialogWindow(ModalDialog& dialog,
                                                                  NativeDialog* owner) {
  auto window =
      std::make_unique<HeadlessWindow>(*this, dialog, static_cast<HeadlessWindow*>(owner));
  m_windows.push_back(window.get());
  return window;
}

int HeadlessBackend::MessageBox(NativeDialog* owner, std::string_view text,
                                std::string_view caption, UINT style) {
  auto* window = static_cast<HeadlessWindow*>(owner);
  m_messageBoxes.push_back(
      {std::string(text), std::string(caption), style, window ? window->TemplateId() : 0});
  return IDOK;
}

std::optional<std::string> HeadlessBackend::GetOpenFileName(NativeDialog*, UINT) {
  ++m_fileDialogs;
  if (m_fileAnswers.empty())
    return std::nullopt;
  auto answer = std::move(m_fileAnswers.front());
  m_fileAnswers.pop_front();
  return answer;
}

int HeadlessBackend::GetSystemMetrics(int index) const {
  return StandardSystemMetric(index);
}

int HeadlessBackend::RunLoop(HeadlessWindow& window) {
  m_stack.push_back(&window);
  while (true) {
    if (window.Ending())
      break;
    if (m_steps.empty()) {
      // Nobody is left to close the dialog: cancel it rather than wait forever.
      m_exhausted = true;
      window.EndModalLoop(IDCANCEL);
      break;
    }
    auto step = std::move(m_steps.front());
    m_steps.pop_front();
    step();
  }
  m_stack.pop_back();
  return window.EndCode();
}

bool HeadlessBackend::SetTimer(HeadlessWindow& window, UINT id, UINT elapseMs) {
  if (m_failTimers)
    return false;
  const int interval = static_cast<int>(elapseMs);  // within the int range: see Backend.h
  for (Timer& timer : m_timers) {
    if (timer.window == &window && timer.id == id) {
      timer.interval = interval;
      timer.due = m_now + interval;
      return true;
    }
  }
  m_timers.push_back({&window, id, interval, m_now + interval, m_timerOrder++});
  return true;
}

bool HeadlessBackend::KillTimer(HeadlessWindow& window, UINT id) {
  const auto before = m_timers.size();
  std::erase_if(m_timers, [&](const Timer& t) { return t.window == &window && t.id == id; });
  return m_timers.size() != before;
}

void HeadlessBackend::Forget(HeadlessWindow& window) {
  std::erase_if(m_timers, [&](const Timer& t) { return t.window == &window; });
  std::erase(m_windows, &window);
  std::erase(m_stack, &window);
}

}  // namespace ui::headless
