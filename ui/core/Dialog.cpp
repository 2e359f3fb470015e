#include "ui/core/Dialog.h"

#include <algorithm>
#include <exception>
#include <string>

#include "base/Trace.h"
#include "ui/core/Application.h"
#include "ui/core/DataExchange.h"

namespace ui {
namespace {

MessageObserver& Observer() {
  static MessageObserver observer;
  return observer;
}

bool IsPushButton(const ControlTemplate* control) {
  return control != nullptr &&
         (control->kind == ControlKind::PushButton || control->kind == ControlKind::DefPushButton);
}

}  // namespace

void SetMessageObserver(MessageObserver observer) {
  Observer() = std::move(observer);
}

ModalDialog::ModalDialog(const DialogTemplate& dialogTemplate, ModalDialog* parent)
    : m_template(dialogTemplate), m_parent(parent) {}

ModalDialog::~ModalDialog() {
  DestroyWindow();
}

int ModalDialog::RunModal() {
  if (m_native)
    return -1;  // already shown

  NativeDialog* owner = nullptr;
  if (m_parent != nullptr) {
    owner = m_parent->Native();
  } else if (Application* app = CurrentApp();
             app != nullptr && app->m_mainWindow != nullptr && app->m_mainWindow != this) {
    owner = app->m_mainWindow->Native();
  }

  if ((m_template.style & kSysMenu) != 0) {
    m_systemMenu = std::make_unique<Menu>(Menu::StandardSystemMenu());
  }
  m_native = CurrentBackend().CreateDialogWindow(*this, owner);
  if (!m_native) {
    m_systemMenu.reset();
    return -1;
  }

  if (OnInitDialog()) {
    for (const ControlTemplate& control : m_template.controls) {
      if ((control.style & kTabStop) != 0) {
        GotoDlgCtrl(control.id);
        break;
      }
    }
  }
  const int code = m_native->RunModalLoop();
  DestroyWindow();
  return code;
}

void ModalDialog::EndModal(int code) {
  if (m_native)
    m_native->EndModalLoop(code);
}

void ModalDialog::DestroyWindow() {
  for (BoundControl* control : m_attached)
    control->Detach();
  m_attached.clear();
  m_native.reset();
  m_systemMenu.reset();
}

void ModalDialog::Attach(BoundControl& control) {
  m_attached.push_back(&control);
}

bool ModalDialog::UpdateData(bool saveAndValidate) {
  DataExchange exchange(*this, saveAndValidate);
  ExchangeData(&exchange);
  return !exchange.Failed();
}

const MessageMapBase* ModalDialog::GetMessageMap() const {
  return nullptr;
}

bool ModalDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void ModalDialog::ExchangeData(DataExchange*) {}

void ModalDialog::OnOK() {
  if (UpdateData(true))
    EndModal(IDOK);
}

void ModalDialog::OnCancel() {
  EndModal(IDCANCEL);
}

LRESULT ModalDialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const Message msg{message, wParam, lParam};
  if (const MessageObserver& observer = Observer())
    observer(*this, msg);
  try {
    return Dispatch(msg);
  } catch (const std::exception& error) {
    // A failure of the file layer (or anything else a handler lets through)
    // is shown to the user; the program goes on. While such a box is open,
    // timers keep firing and may fail the same way: those go to the trace
    // instead of stacking up boxes.
    static bool showingError = false;
    if (showingError) {
      base::Trace("%s\n", error.what());
      return 0;
    }
    // A timer whose tick failed is stopped first: the same failure would
    // otherwise come back at every tick, one box after another.
    if (message == WM_TIMER)
      KillTimer(static_cast<UINT>(wParam));
    showingError = true;
    MessageBox(error.what(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    showingError = false;
  }
  return 0;
}

LRESULT ModalDialog::Dispatch(const Message& message) {
  LRESULT result = 0;
  for (const MessageMapBase* map = GetMessageMap(); map != nullptr; map = map->Base()) {
    if (map->Dispatch(*this, message, result))
      return result;
  }
  return DefaultHandling(message);
}

LRESULT ModalDialog::DefaultHandling(const Message& message) {
  switch (message.message) {
    case WM_COMMAND:
      if (HighWord(message.wParam) != BN_CLICKED)
        break;
      if (static_cast<int>(LowWord(message.wParam)) == IDOK)
        OnOK();
      if (static_cast<int>(LowWord(message.wParam)) == IDCANCEL)
        OnCancel();
      break;
    case WM_SYSCOMMAND:
      OnSysCommand(static_cast<UINT>(message.wParam), message.lParam);
      break;
    case WM_CLOSE:
      SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED), 0);
      break;
    default:
      break;
  }
  return 0;
}

void ModalDialog::OnSysCommand(UINT id, LPARAM) {
  switch (id & 0xFFF0u) {
    case SC_CLOSE:
      SendMessage(WM_CLOSE);
      break;
    case SC_MINIMIZE:
      if (m_native)
        m_native->SetIconic(true);
      break;
    case SC_RESTORE:
      if (m_native)
        m_native->SetIconic(false);
      break;
    default:
      break;
  }
}

void ModalDialog::HandleKey(DialogKey key) {
  if (key == DialogKey::Escape) {
    SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  // Enter presses the focused push button, else the default push button, else OK.
  int command = IDOK;
  const ControlTemplate* focused = m_native ? m_template.Find(m_native->FocusId()) : nullptr;
  if (IsPushButton(focused)) {
    command = focused->id;
  } else {
    for (const ControlTemplate& control : m_template.controls) {
      if (control.kind == ControlKind::DefPushButton) {
        command = control.id;
        break;
      }
    }
  }
  SendMessage(WM_COMMAND, MakeWParam(static_cast<UINT>(command), BN_CLICKED), 0);
}

void ModalDialog::SetDlgItemText(int id, const char* text) {
  if (m_native)
    m_native->SetControlText(id, text != nullptr ? text : "");
}

void ModalDialog::SetDlgItemInt(int id, int value) {
  SetDlgItemText(id, std::to_string(value).c_str());
}

std::string ModalDialog::GetDlgItemText(int id) const {
  return m_native ? m_native->GetControlText(id) : std::string();
}

UINT ModalDialog::IsDlgButtonChecked(int id) const {
  return m_native ? static_cast<UINT>(m_native->GetCheck(id)) : 0u;
}

void ModalDialog::CheckDlgButton(int id, int state) {
  if (m_native)
    m_native->SetCheck(id, state);
}

void ModalDialog::GotoDlgCtrl(int id) {
  if (m_native)
    m_native->SetFocusTo(id);
}

UINT ModalDialog::SetTimer(UINT id, UINT elapseMs) {
  if (!m_native || id == 0)
    return 0;
  const UINT interval = std::clamp(elapseMs, kMinimumTimerInterval, kMaximumTimerInterval);
  return m_native->SetTimer(id, interval) ? id : 0u;
}

bool ModalDialog::KillTimer(UINT id) {
  return m_native ? m_native->KillTimer(id) : false;
}

int ModalDialog::MessageBox(const char* text, const char* caption, UINT style) {
  std::string title;
  if (caption != nullptr) {
    title = caption;
  } else if (Application* app = CurrentApp(); app != nullptr && app->m_mainWindow != nullptr) {
    title = std::string(app->m_mainWindow->Template().caption);
  } else {
    title = std::string(m_template.caption);
  }
  return CurrentBackend().MessageBox(m_native.get(), text != nullptr ? text : "", title, style);
}

Menu* ModalDialog::GetSystemMenu(bool revert) {
  if (!m_native || !m_systemMenu)
    return nullptr;
  if (revert) {
    *m_systemMenu = Menu::StandardSystemMenu();
    return nullptr;
  }
  return m_systemMenu.get();
}

void ModalDialog::SetIcon(HICON icon, bool big) {
  if (m_native)
    m_native->SetIcon(icon, big);
}

bool ModalDialog::IsIconic() const {
  return m_native ? m_native->IsIconic() : false;
}

void ModalDialog::GetClientRect(Rect* rect) const {
  if (rect == nullptr)
    return;
  *rect = m_native ? m_native->ClientRect() : Rect{};
}

}  // namespace ui
