#pragma once
// A dialog window kept in memory: the controls' texts, check states, focus and
// picture surfaces, so that tests can look at what a user would see.

#include <map>
#include <string>
#include <vector>

#include "ui/core/Backend.h"
#include "ui/core/DialogTemplate.h"

namespace ui::headless {

class HeadlessBackend;

struct HeadlessControl {
  ControlKind kind = ControlKind::Label;
  std::string text;
  int check = 0;
  Surface surface;  // picture controls only
  int surfaceUpdates = 0;
};

struct IconDraw {
  int x = 0;
  int y = 0;
  HICON icon = nullptr;
};

class HeadlessWindow final : public NativeDialog {
 public:
  HeadlessWindow(HeadlessBackend& backend, ModalDialog& dialog, HeadlessWindow* owner);
  ~HeadlessWindow() override;

  // NativeDialog
  void SetControlText(int id, std::string_view text) override;
  std::string GetControlText(int id) const override;
  int GetCheck(int id) const override;
  void SetCheck(int id, int state) override;
  void SetFocusTo(int id) override;
  int FocusId() const override { return m_focus; }
  Surface* PictureSurface(int id) override;
  void PictureChanged(int id) override;
  void SetIcon(HICON icon, bool big) override;
  bool IsIconic() const override { return m_iconic; }
  void SetIconic(bool iconic) override { m_iconic = iconic; }
  Rect ClientRect() const override { return {0, 0, m_clientWidth, m_clientHeight}; }
  void DrawIcon(int x, int y, HICON icon) override { m_iconDraws.push_back({x, y, icon}); }
  bool SetTimer(UINT id, UINT elapseMs) override;
  bool KillTimer(UINT id) override;
  int RunModalLoop() override;
  void EndModalLoop(int code) override;

  // What tests look at and do.
  ModalDialog& Dialog() const { return m_dialog; }
  int TemplateId() const;
  HeadlessWindow* Owner() const { return m_owner; }
  const HeadlessControl* Control(int id) const;
  HICON Icon(bool big) const { return big ? m_bigIcon : m_smallIcon; }
  const std::vector<IconDraw>& IconDraws() const { return m_iconDraws; }
  void SetClientSize(int width, int height);
  bool Ending() const { return m_ending; }
  int EndCode() const { return m_endCode; }
  // Moves the focus to the next (or previous) tab stop, as Tab does.
  void TabToNext(bool backwards = false);

 private:
  HeadlessBackend& m_backend;
  ModalDialog& m_dialog;
  HeadlessWindow* m_owner;
  std::map<int, HeadlessControl> m_controls;
  int m_focus = -1;
  bool m_iconic = false;
  int m_clientWidth = 0;
  int m_clientHeight = 0;
  HICON m_bigIcon = nullptr;
  HICON m_smallIcon = nullptr;
  std::vector<IconDraw> m_iconDraws;
  bool m_ending = false;
  int m_endCode = 0;
};

}  // namespace ui::headless
