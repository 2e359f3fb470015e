// Dispatch through the message maps: which handler a message reaches, what it
// receives, what the default handling does with the rest, and how a failure
// that a handler lets through is shown.

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/core/BinaryFile.h"
#include "ui/core/Dialog.h"
#include "ui/core/Trace.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;
using Log = std::vector<std::string>;

constexpr int IDD_MAP = 300, IDC_APPLY = 301, IDC_RESET = 302, IDC_LEVEL = 303;

const ui::ControlTemplate kControls[] = {
    {IDC_APPLY, ui::ControlKind::PushButton, "&Apply", 10, 10, 50, 14, ui::kTabStop},
    {IDC_RESET, ui::ControlKind::PushButton, "&Reset", 70, 10, 50, 14, ui::kTabStop},
    {IDC_LEVEL, ui::ControlKind::Edit, "", 10, 30, 50, 12, ui::kTabStop},
    {ui::IDOK, ui::ControlKind::DefPushButton, "OK", 10, 60, 50, 14, ui::kTabStop},
    {ui::IDCANCEL, ui::ControlKind::PushButton, "Cancel", 70, 60, 50, 14, ui::kTabStop},
};
const ui::DialogTemplate kTemplate{
    IDD_MAP, ui::kCaption | ui::kSysMenu, "Map", "Sans", 8, 0, 0, 140, 80, kControls};
const ui::IconResource kDragIcon{7, {}, {}};

ui::WPARAM Clicked(int id) {
  return ui::MakeWParam(static_cast<ui::UINT>(id), ui::BN_CLICKED);
}

class BaseDlg : public ui::ModalDialog {
 public:
  BaseDlg() : ui::ModalDialog(kTemplate, nullptr) {}
  void OnBaseApply() { log.push_back("base apply"); }
  void OnBaseReset() { log.push_back("base reset"); }
  void OnBaseTimer(ui::UINT id) { log.push_back("base timer " + std::to_string(id)); }
  Log log;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<BaseDlg>;
    static const Map map(nullptr, {Map::OnCommand(IDC_APPLY, &BaseDlg::OnBaseApply),
                                   Map::OnCommand(IDC_RESET, &BaseDlg::OnBaseReset),
                                   Map::OnTimer(&BaseDlg::OnBaseTimer)});
    return &map;
  }
};

// Its own entries come before the base's; system commands are handed on to
// the base handling, as the console does.
class DerivedDlg : public BaseDlg {
 public:
  void OnApply() { log.push_back("derived apply"); }
  void OnTick(ui::UINT id) { log.push_back("timer " + std::to_string(id)); }
  void OnSysCommand(ui::UINT id, ui::LPARAM lParam) {
    log.push_back("sys " + std::to_string(id) + " " + std::to_string(lParam));
    ui::ModalDialog::OnSysCommand(id, lParam);
  }
  ui::HICON OnQueryDragIcon() { return &kDragIcon; }

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<DerivedDlg>;
    static const Map map(
        BaseDlg::GetMessageMap(),
        {Map::OnCommand(IDC_APPLY, &DerivedDlg::OnApply), Map::OnTimer(&DerivedDlg::OnTick),
         Map::OnSysCommand(&DerivedDlg::OnSysCommand),
         Map::OnQueryDragIcon(&DerivedDlg::OnQueryDragIcon)});
    return &map;
  }
};

TEST(MessageMap, TheDerivedMapComesFirstAndEachEntryMatchesOnlyItsOwnMessage) {
  HeadlessBackend user;
  DerivedDlg dialog;
  dialog.SendMessage(ui::WM_COMMAND, Clicked(IDC_APPLY));
  dialog.SendMessage(ui::WM_COMMAND, Clicked(IDC_RESET));
  dialog.SendMessage(ui::WM_COMMAND, ui::MakeWParam(IDC_APPLY, 0x0300));  // not a click
  dialog.SendMessage(ui::WM_COMMAND, Clicked(IDC_LEVEL));                 // no entry
  dialog.SendMessage(ui::WM_TIMER, 102);
  dialog.SendMessage(ui::WM_TIMER, IDC_APPLY);  // a timer, whatever its number
  dialog.SendMessage(ui::WM_SYSCOMMAND, 0x0010, 0x1234);
  EXPECT_EQ(dialog.log,
            (Log{"derived apply", "base reset", "timer 102", "timer 301", "sys 16 4660"}));
  EXPECT_EQ(dialog.SendMessage(ui::WM_QUERYDRAGICON), reinterpret_cast<ui::LRESULT>(&kDragIcon));
  BaseDlg plain;  // no drag-icon entry: the default handling answers nothing
  EXPECT_EQ(plain.SendMessage(ui::WM_QUERYDRAGICON), 0);
}

TEST(MessageMap, UnmatchedMessagesReachTheDefaultHandling) {
  HeadlessBackend user;
  DerivedDlg dialog;
  user.Click(ui::IDCANCEL);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  user.Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  user.ChooseSystemMenu(0xF062);  // the close entry, position bits set
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.log, (Log{"sys 61538 0"}));  // handed on by the derived handler
  user.Then([&] { dialog.SendMessage(ui::WM_CLOSE); });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);

  std::vector<bool> iconic;
  auto look = [&] { iconic.push_back(dialog.IsIconic()); };
  user.ChooseSystemMenu(ui::SC_MINIMIZE)
      .Then(look)
      .ChooseSystemMenu(ui::SC_RESTORE)
      .Then(look)
      .Then([&] { dialog.SendMessage(ui::WM_COMMAND, ui::MakeWParam(ui::IDOK, 1)); })
      .Then(look)  // OK, but not a click: the dialog stays
      .Click(ui::IDOK);
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(iconic, (std::vector<bool>{true, false, false}));
  EXPECT_FALSE(user.ScriptExhausted());

  // Without a system-command entry the close box goes straight to the default
  // handling: close, then Cancel.
  std::vector<std::pair<ui::UINT, ui::WPARAM>> seen;
  ui::SetMessageObserver([&](const ui::ModalDialog&, const ui::Message& m) {
    seen.emplace_back(m.message, m.wParam);
  });
  BaseDlg plain;
  user.CloseBox();
  EXPECT_EQ(plain.RunModal(), ui::IDCANCEL);
  ui::SetMessageObserver({});
  EXPECT_EQ(seen, (std::vector<std::pair<ui::UINT, ui::WPARAM>>{
                      {ui::WM_SYSCOMMAND, ui::SC_CLOSE},
                      {ui::WM_CLOSE, 0},
                      {ui::WM_COMMAND, Clicked(ui::IDCANCEL)}}));
}

// Fails the way a full disk makes a frame write fail.
class FailingDlg : public ui::ModalDialog {
 public:
  FailingDlg() : ui::ModalDialog(kTemplate, nullptr) {}
  void OnWrite() { throw ui::FileException("frame_7.bmp", ENOSPC); }
  void OnTick(ui::UINT) { throw ui::FileException("frame_8.bmp", ENOSPC); }
  void OnReset() { ++resets; }
  int resets = 0;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<FailingDlg>;
    static const Map map(nullptr, {Map::OnCommand(IDC_APPLY, &FailingDlg::OnWrite),
                                   Map::OnCommand(IDC_RESET, &FailingDlg::OnReset),
                                   Map::OnTimer(&FailingDlg::OnTick)});
    return &map;
  }
};

constexpr const char* kFrame7Full = "File error on \"frame_7.bmp\": No space left on device";
constexpr const char* kFrame8Full = "File error on \"frame_8.bmp\": No space left on device";

TEST(MessageMap, ATimerWhoseTickFailsIsStoppedBeforeItsFailureIsShown) {
  HeadlessBackend user;
  FailingDlg dialog;
  bool timerLeft = true;
  user.Then([&] { dialog.SetTimer(5, 100); })
      .Wait(1000)
      .Then([&] { timerLeft = user.HasTimer(*user.Top(), 5); })
      .Click(ui::IDCANCEL);
  dialog.RunModal();
  EXPECT_FALSE(timerLeft);
  ASSERT_EQ(user.MessageBoxes().size(), 1u);  // one box, not one per tick
  EXPECT_EQ(user.MessageBoxes()[0].text, kFrame8Full);
}

TEST(MessageMap, AFailureAHandlerLetsThroughIsShownAndTheDialogGoesOn) {
  HeadlessBackend user;
  FailingDlg dialog;
  user.Click(IDC_APPLY).Click(IDC_RESET).Click(ui::IDCANCEL);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.resets, 1);  // the steps after the failure ran
  ASSERT_EQ(user.MessageBoxes().size(), 1u);
  const auto& box = user.MessageBoxes()[0];
  EXPECT_EQ(box.text, kFrame7Full);
  EXPECT_EQ(box.caption, "Map");
  EXPECT_EQ(box.style, ui::MB_OK | ui::MB_ICONEXCLAMATION);
  EXPECT_EQ(box.ownerTemplateId, IDD_MAP);
}

// The headless backend, except that something happens while a message box is
// open, as a timer does on the desktop.
class BoxOpenBackend final : public ui::Backend {
 public:
  BoxOpenBackend(HeadlessBackend& inner, std::function<void()> whileOpen)
      : m_inner(inner), m_whileOpen(std::move(whileOpen)) {
    ui::SetBackend(this);
  }
  ~BoxOpenBackend() override { ui::SetBackend(&m_inner); }
  std::unique_ptr<ui::NativeDialog> CreateDialogWindow(ui::ModalDialog& d,
                                                       ui::NativeDialog* owner) override {
    return m_inner.CreateDialogWindow(d, owner);
  }
  int MessageBox(ui::NativeDialog* owner, std::string_view text, std::string_view caption,
                 ui::UINT style) override {
    if (auto whileOpen = std::exchange(m_whileOpen, {}))
      whileOpen();
    return m_inner.MessageBox(owner, text, caption, style);
  }
  std::optional<std::string> GetOpenFileName(ui::NativeDialog* owner, ui::UINT flags) override {
    return m_inner.GetOpenFileName(owner, flags);
  }
  int GetSystemMetrics(int index) const override { return m_inner.GetSystemMetrics(index); }

 private:
  HeadlessBackend& m_inner;
  std::function<void()> m_whileOpen;
};

TEST(MessageMap, AFailureWhileTheErrorBoxIsOpenGoesToTheTraceInstead) {
  HeadlessBackend user;
  FailingDlg dialog;
  Log trace;
  ui::ScopedTraceSink sink([&](std::string_view line) { trace.emplace_back(line); });
  BoxOpenBackend boxes(user, [&] { dialog.SendMessage(ui::WM_TIMER, 1); });

  EXPECT_EQ(dialog.SendMessage(ui::WM_COMMAND, Clicked(IDC_APPLY)), 0);
  ASSERT_EQ(user.MessageBoxes().size(), 1u);
  EXPECT_EQ(user.MessageBoxes()[0].text, kFrame7Full);
  EXPECT_EQ(trace, (Log{std::string(kFrame8Full) + "\n"}));

  // Once the box is closed, the next failure has a box of its own again.
  dialog.SendMessage(ui::WM_TIMER, 1);
  ASSERT_EQ(user.MessageBoxes().size(), 2u);
  EXPECT_EQ(user.MessageBoxes()[1].text, kFrame8Full);
  EXPECT_EQ(trace.size(), 1u);
}

}  // namespace
