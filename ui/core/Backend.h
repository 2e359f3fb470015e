#pragma once
// What the platform layer needs from a window system. The Qt backend shows real
// windows; the headless backend keeps windows in memory, runs modal loops
// against a scripted user and drives timers from a virtual clock.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "ui/core/Icon.h"
#include "ui/core/Surface.h"
#include "ui/core/WindowTypes.h"

namespace ui {

class ModalDialog;

// Keys that the dialogs handle themselves rather than the focused control.
enum class DialogKey { Enter, Escape };

// Timers never fire more often than every 10 ms, as on the desktop the
// program was written for; longer intervals than the int range are held at
// its top, so a timer's due time only ever moves forward.
inline constexpr UINT kMinimumTimerInterval = 10;
inline constexpr UINT kMaximumTimerInterval = 0x7FFFFFFF;

// One shown dialog window with its controls. Created by RunModal from the
// dialog's template and destroyed when the modal run ends, which also removes
// the window's timers.
class NativeDialog {
 public:
  virtual ~NativeDialog() = default;

  // Controls, addressed by their template id.
  virtual void SetControlText(int id, std::string_view text) = 0;
  virtual std::string GetControlText(int id) const = 0;
  virtual int GetCheck(int id) const = 0;
  virtual void SetCheck(int id, int state) = 0;
  virtual void SetFocusTo(int id) = 0;
  virtual int FocusId() const = 0;  // -1 when no control has the focus
  // The pixel surface of a picture control, or nullptr for other ids.
  virtual Surface* PictureSurface(int id) = 0;
  // Called after a drawing into a picture surface has finished.
  virtual void PictureChanged(int id) = 0;

  // The window itself.
  virtual void SetIcon(HICON icon, bool big) = 0;
  virtual bool IsIconic() const = 0;
  virtual void SetIconic(bool iconic) = 0;
  virtual Rect ClientRect() const = 0;
  // Draws an icon into the window while it paints itself.
  virtual void DrawIcon(int x, int y, HICON icon) = 0;

  // Window timers. SetTimer creates the timer or restarts it with the new
  // interval, which the dialog has already brought into
  // kMinimumTimerInterval..kMaximumTimerInterval; false when no timer can be
  // had.
  virtual bool SetTimer(UINT id, UINT elapseMs) = 0;
  virtual bool KillTimer(UINT id) = 0;

  // Runs until EndModalLoop is called; returns its code.
  virtual int RunModalLoop() = 0;
  virtual void EndModalLoop(int code) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Creates the window of a dialog from its template, owned by owner (may be
  // null). Events of the window reach the dialog through ModalDialog::SendMessage
  // and ModalDialog::HandleKey.
  virtual std::unique_ptr<NativeDialog> CreateDialogWindow(ModalDialog& dialog,
                                                           NativeDialog* owner) = 0;
  virtual int MessageBox(NativeDialog* owner, std::string_view text, std::string_view caption,
                         UINT style) = 0;
  // The open-file dialog: the chosen full path, or nothing when cancelled.
  virtual std::optional<std::string> GetOpenFileName(NativeDialog* owner, UINT flags) = 0;
  virtual int GetSystemMetrics(int index) const = 0;
  // Gives up the rest of the time slice (processes nothing).
  virtual void Yield() { std::this_thread::yield(); }
};

// The backend in use. Set once by the program's main routine or by a test.
Backend& CurrentBackend();
void SetBackend(Backend* backend);
// Gives up the rest of the time slice through the current backend, if any.
void YieldTimeSlice();

}  // namespace ui
