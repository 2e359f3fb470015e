#pragma once
// A dialog window shown with Qt Widgets: the NativeDialog that the core drives.
// It owns the top-level widget, the controls built from the template and the
// window's timers; destroying it hides the window and removes them all.

#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "ui/core/Backend.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtDialogWidget.h"

class QEventLoop;

namespace ui::qt {

class QtDialogWindow final : public NativeDialog {
 public:
  QtDialogWindow(ModalDialog& dialog, QtDialogWindow* owner);
  ~QtDialogWindow() override;
  QtDialogWindow(const QtDialogWindow&) = delete;
  QtDialogWindow& operator=(const QtDialogWindow&) = delete;

  QtDialogWidget& Widget() const { return *m_widget; }

  // NativeDialog
  void SetControlText(int id, std::string_view text) override;
  std::string GetControlText(int id) const override;
  int GetCheck(int id) const override;
  void SetCheck(int id, int state) override;
  void SetFocusTo(int id) override;
  int FocusId() const override;
  Surface* PictureSurface(int id) override;
  void PictureChanged(int id) override;
  void SetIcon(HICON icon, bool big) override;
  bool IsIconic() const override;
  void SetIconic(bool iconic) override;
  Rect ClientRect() const override;
  void DrawIcon(int x, int y, HICON icon) override;
  bool SetTimer(UINT id, UINT elapseMs) override;
  bool KillTimer(UINT id) override;
  int RunModalLoop() override;
  void EndModalLoop(int code) override;

 private:
  QtControl* Find(int id);
  const QtControl* Find(int id) const;

  ModalDialog& m_dialog;
  // Declared before the controls and timers, so that it is destroyed after
  // them: the controls are its children.
  std::unique_ptr<QtDialogWidget> m_widget;
  std::vector<QtControl> m_controls;
  std::map<UINT, std::unique_ptr<QTimer>> m_timers;
  HICON m_bigIcon = nullptr;
  HICON m_smallIcon = nullptr;
  QEventLoop* m_loop = nullptr;  // the running modal loop, if any
  bool m_ending = false;
  int m_endCode = 0;
};

}  // namespace ui::qt
