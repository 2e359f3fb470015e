#pragma once
// The modal dialog: created from a template by RunModal, filled through its
// data exchange, driven by its message map, ended by EndModal.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/Backend.h"
#include "ui/core/DialogTemplate.h"
#include "ui/core/Menu.h"
#include "ui/core/MessageMap.h"
#include "ui/core/WindowTypes.h"

namespace ui {

class DataExchange;
class BoundControl;

class ModalDialog {
 public:
  ModalDialog(const DialogTemplate& dialogTemplate, ModalDialog* parent);
  virtual ~ModalDialog();
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Creates the window, runs the initialisation, runs the modal loop until
  // EndModal and returns the end code. The window and its timers are gone
  // when it returns. Returns -1 when the window cannot be created.
  int RunModal();
  void EndModal(int code);

  // Moves data between controls and members: true = controls to members,
  // with validation; false = members to controls. False when a field fails.
  bool UpdateData(bool saveAndValidate = true);

  // Dispatches a message through the message maps, then the default handling.
  // What a handler lets through is shown in a message box, never lost.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Enter and Escape, as the backends report them.
  void HandleKey(DialogKey key);

  const DialogTemplate& Template() const { return m_template; }
  bool HasWindow() const { return m_native != nullptr; }
  NativeDialog* Native() const { return m_native.get(); }
  Menu* SystemMenu() { return m_systemMenu.get(); }

  // Control access, by control id. Without a window they do nothing and
  // read as empty / unchecked.
  void SetDlgItemText(int id, const char* text);
  void SetDlgItemInt(int id, int value);
  std::string GetDlgItemText(int id) const;
  UINT IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, int state);
  void GotoDlgCtrl(int id);

  UINT SetTimer(UINT id, UINT elapseMs);
  bool KillTimer(UINT id);
  int MessageBox(const char* text, const char* caption = nullptr, UINT style = MB_OK);

  // The system menu of the shown window (nullptr without window or without
  // a system menu in the template).
  Menu* GetSystemMenu(bool revert);
  void SetIcon(HICON icon, bool big);
  bool IsIconic() const;
  void GetClientRect(Rect* rect) const;

  // Controls bound by the data exchange register here, so that they are
  // detached when the window goes.
  void Attach(BoundControl& control);

 protected:
  virtual const MessageMapBase* GetMessageMap() const;
  virtual bool OnInitDialog();
  virtual void ExchangeData(DataExchange* dx);
  virtual void OnOK();
  virtual void OnCancel();

  // The base handling of messages that a derived handler hands on.
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnPaint() {}
  void OnTimer(UINT) {}

 private:
  LRESULT Dispatch(const Message& message);
  LRESULT DefaultHandling(const Message& message);
  void DestroyWindow();

  const DialogTemplate& m_template;
  ModalDialog* m_parent;
  std::unique_ptr<NativeDialog> m_native;
  std::unique_ptr<Menu> m_systemMenu;
  std::vector<BoundControl*> m_attached;
};

// Sees every message that ModalDialog::SendMessage dispatches, before the message
// maps do. For tests; an empty function removes it.
using MessageObserver = std::function<void(const ModalDialog&, const Message&)>;
void SetMessageObserver(MessageObserver observer);

// A control bound to a member through the data exchange; valid while the
// dialog's window exists.
class BoundControl {
 public:
  BoundControl() = default;
  virtual ~BoundControl() = default;
  BoundControl(const BoundControl&) = delete;
  BoundControl& operator=(const BoundControl&) = delete;

  void AttachTo(NativeDialog* window, int id) {
    m_window = window;
    m_id = id;
  }
  void Detach() { AttachTo(nullptr, 0); }
  bool HasWindow() const { return m_window != nullptr; }
  NativeDialog* Window() const { return m_window; }
  int Id() const { return m_id; }

 private:
  NativeDialog* m_window = nullptr;
  int m_id = 0;
};

// A static picture control: frames are drawn into its surface.
class PictureControl : public BoundControl {
 public:
  Surface* GetSurface() const { return HasWindow() ? Window()->PictureSurface(Id()) : nullptr; }
};

}  // namespace ui
