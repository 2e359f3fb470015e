#include "ui/headless/HeadlessWindow.h"

#include <algorithm>

#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {
HeadlessWindow::HeadlessWindow(HeadlessBackend& backend, ModalDialog& dialog, HeadlessWindow* owner)
    : m_backend(backend), m_dialog(dialog), m_owner(owner) {
  const DialogTemplate& t = dialog.Template();
  const DialogUnits units;
  m_clientWidth = units.ToPixelsX(t.width);
  m_clientHeight = units.ToPixelsY(t.height);
  for (const ControlTemplate& c : t.controls) {
    HeadlessControl control;
    control.kind = c.kind;
    control.text = std::string(c.text);
    if (c.kind == ControlKind::Picture) {
      control.surface = Surface(units.ToPixelsX(c.width), units.ToPixelsY(c.height));
    }
    m_controls[c.id] = std::move(control);
  }
}

HeadlessWindow::~HeadlessWindow() {
  m_backend.Forget(*this);
}

int HeadlessWindow::TemplateId() const {
  return m_dialog.Template().id;
}

const HeadlessControl* HeadlessWindow::Control(int id) const {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

void HeadlessWindow::SetControlText(int id, std::string_view text) {
  if (auto it = m_controls.find(id); it != m_controls.end())
    it->second.text = std::string(text);
}

std::string HeadlessWindow::GetControlText(int id) const {
  const HeadlessControl* control = Control(id);
  return control != nullptr ? control->text : std::string();
}

int HeadlessWindow::GetCheck(int id) const {
  const HeadlessControl* control = Control(id);
  return control != nullptr && control->kind == ControlKind::CheckBox ? control->check : 0;
}

void HeadlessWindow::SetCheck(int id, int state) {
  auto it = m_controls.find(id);
  if (it != m_controls.end() && it->second.kind == ControlKind::CheckBox)
    it->second.check = state;
}

void HeadlessWindow::SetFocusTo(int id) {
  if (m_controls.count(id) != 0)
    m_focus = id;
}

Surface* HeadlessWindow::PictureSurface(int id) {
  auto it = m_controls.find(id);
  if (it == m_controls.end() || it->second.kind != ControlKind::Picture)
    return nullptr;
  return &it->second.surface;
}

void HeadlessWindow::PictureChanged(int id) {
  if (auto it = m_controls.find(id); it != m_controls.end())
    ++it->second.surfaceUpdates;
}

void HeadlessWindow::SetIcon(HICON icon, bool big) {
  (big ? m_bigIcon : m_smallIcon) = icon;
}

bool HeadlessWindow::SetTimer(UINT id, UINT elapseMs) {
  return m_backend.SetTimer(*this, id, elapseMs);
}

bool HeadlessWindow::KillTimer(UINT id) {
  return m_backend.KillTimer(*this, id);
}

int HeadlessWindow::RunModalLoop() {
  // Each run has a window of its own, so an EndModal during the dialog's
  // initialisation is kept and ends the run at once.
  return m_backend.RunLoop(*this);
}

void HeadlessWindow::EndModalLoop(int code) {
  m_ending = true;
  m_endCode = code;
}

void HeadlessWindow::SetClientSize(int width, int height) {
  m_clientWidth = width;
  m_clientHeight = height;
}

void HeadlessWindow::TabToNext(bool backwards) {
  std::vector<int> stops;
  for (const ControlTemplate& c : m_dialog.Template().controls) {
    if ((c.style & kTabStop) != 0)
      stops.push_back(c.id);
  }
  if (stops.empty())
    return;
  auto it = std::find(stops.begin(), stops.end(), m_focus);
  if (it == stops.end()) {
    m_focus = backwards ? stops.back() : stops.front();
    return;
  }
  const std::size_t index = static_cast<std::size_t>(it - stops.begin());
  const std::size_t next =
      backwards ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
  m_focus = stops[next];
}

}  // namespace ui::headless
