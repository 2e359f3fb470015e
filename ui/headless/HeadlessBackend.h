#pragma once
// The in-memory backend: windows without a screen, a virtual clock that drives
// the timers, and a scripted user. A test queues the user's steps (click, type,
// press a key, let time pass, look at something); whichever modal loop is
// innermost takes the next step, so one linear script drives nested dialogs.
// When the script runs out while a dialog is still open, that dialog is
// cancelled and ScriptExhausted() reports it, so a test can never hang.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/Backend.h"
#include "ui/headless/HeadlessWindow.h"

namespace ui::headless {

struct ShownMessageBox {
  std::string text;
  std::string caption;
  UINT style = 0;
  int ownerTemplateId = 0;  // 0 without owner
};

class HeadlessBackend final : public Backend {
 public:
  // Installs itself as the current backend; the destructor uninstalls it.
  HeadlessBackend();
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  // The scripted user. Each call queues one step and returns the backend.
  HeadlessBackend& Then(std::function<void()> step);
  HeadlessBackend& Click(int controlId);  // toggles a check box first
  HeadlessBackend& Type(int controlId, std::string text);
  HeadlessBackend& Key(DialogKey key);
  HeadlessBackend& Tab(bool backwards = false);
  HeadlessBackend& Space();  // presses the focused button or toggles the focused box
  HeadlessBackend& CloseBox();
  HeadlessBackend& ChooseSystemMenu(UINT id);
  HeadlessBackend& Wait(int milliseconds);
  // The answer the next open-file dialog gives (nothing = Cancel).
  HeadlessBackend& AnswerFileDialog(std::optional<std::string> path);

  // Lets virtual time pass now, firing every timer that falls due, in order.
  // Stops early when a dialog is asked to end meanwhile.
  void Advance(int milliseconds);
  std::int64_t Now() const { return m_now; }

  // What a test looks at.
  HeadlessWindow* Top() const { return m_stack.empty() ? nullptr : m_stack.back(); }
  HeadlessWindow* FindWindow(int templateId) const;
  const std::vector<ShownMessageBox>& MessageBoxes() const { return m_messageBoxes; }
  const std::vector<std::string>& ScriptErrors() const { return m_scriptErrors; }
  bool ScriptExhausted() const { return m_exhausted; }
  bool HasTimer(const HeadlessWindow& window, UINT id) const;
  int TimerInterval(const HeadlessWindow& window, UINT id) const;  // -1 when none
  int OpenFileDialogs() const { return m_fileDialogs; }
  void FailTimers(bool fail) { m_failTimers = fail; }

  // Backend
  std::unique_ptr<NativeDialog> CreateDialogWindow(ModalDialog& dialog,
                                                   NativeDialog* owner) override;
  int MessageBox(NativeDialog* owner, std::string_view text, std::string_view caption,
                 UINT style) override;
  std::optional<std::string> GetOpenFileName(NativeDialog* owner, UINT flags) override;
  int GetSystemMetrics(int index) const override;

  // Used by the windows.
  int RunLoop(HeadlessWindow& window);
  bool SetTimer(HeadlessWindow& window, UINT id, UINT elapseMs);
  bool KillTimer(HeadlessWindow& window, UINT id);
  void Forget(HeadlessWindow& window);
  void ScriptError(std::string message) { m_scriptErrors.push_back(std::move(message)); }

 private:
  struct Timer {
    HeadlessWindow* window;
    UINT id;
    int interval;
    std::int64_t due;
    std::uint64_t order;
  };

  bool AnyEnding() const;

  std::deque<std::function<void()>> m_steps;
  std::deque<std::optional<std::string>> m_fileAnswers;
  std::vector<HeadlessWindow*> m_windows;
  std::vector<HeadlessWindow*> m_stack;
  std::vector<Timer> m_timers;
  std::vector<ShownMessageBox> m_messageBoxes;
  std::vector<std::string> m_scriptErrors;
  std::int64_t m_now = 0;
  std::uint64_t m_timerOrder = 0;
  int m_fileDialogs = 0;
  bool m_exhausted = false;
  bool m_failTimers = false;
};

}  // namespace ui::headless
