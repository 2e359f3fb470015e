// Dispatch through the message maps: which handler a message reaches, what it
// receives, what the default handling does with the rest, and how a failure
// that a handler lets through is shown.

#include <cerrno>
#include <functional>
#include <optional>
#include <utility>

#include "UiTestDialog.h"
#include "base/BinaryFile.h"
#include "base/Trace.h"

namespace uitest {
namespace {

using MessageMap = UiTest;

ui::WPARAM Clicked(int id) {
  return ui::MakeWParam(static_cast<ui::UINT>(id), ui::BN_CLICKED);
}

const ui::IconResource kDragIcon{7, {}, {}};

// Its own entries come before the base's; system commands are handed on to
// the base handling, as the console does.
class DerivedDlg : public TestDlg {
 public:
  using TestDlg::TestDlg;
  void OnDerivedApply() { m_log.push_back("derived apply"); }
  void OnSysCommand(ui::UINT id, ui::LPARAM lParam) {
    m_log.push_back("sys " + std::to_string(id) + " " + std::to_string(lParam));
    ui::ModalDialog::OnSysCommand(id, lParam);
  }
  ui::HICON OnQueryDragIcon() { return &kDragIcon; }

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<DerivedDlg>;
    static const Map map(TestDlg::GetMessageMap(),
                         {Map::OnCommand(IDC_APPLY, &DerivedDlg::OnDerivedApply),
                          Map::OnSysCommand(&DerivedDlg::OnSysCommand),
                          Map::OnQueryDragIcon(&DerivedDlg::OnQueryDragIcon)});
    return &map;
  }
};

TEST_F(MessageMap, TheDerivedMapComesFirstAndEachEntryMatchesOnlyItsOwnMessage) {
  DerivedDlg derived(user, log);
  derived.SendMessage(ui::WM_COMMAND, Clicked(IDC_APPLY));
  derived.SendMessage(ui::WM_COMMAND, Clicked(IDC_LOOP));
  derived.SendMessage(ui::WM_COMMAND, ui::MakeWParam(IDC_APPLY, 0x0300));  // not a click
  derived.SendMessage(ui::WM_COMMAND, Clicked(IDC_NAME));                  // no entry
  derived.SendMessage(ui::WM_TIMER, 102);
  derived.SendMessage(ui::WM_TIMER, IDC_APPLY);  // a timer, whatever its number
  derived.SendMessage(ui::WM_SYSCOMMAND, 0x0010, 0x1234);
  EXPECT_EQ(log, (Log{"derived apply", "loop 0", "102@0", "405@0", "sys 16 4660"}));
  EXPECT_EQ(derived.SendMessage(ui::WM_QUERYDRAGICON), reinterpret_cast<ui::LRESULT>(&kDragIcon));
  // No drag-icon entry: the default handling answers nothing.
  EXPECT_EQ(dialog.SendMessage(ui::WM_QUERYDRAGICON), 0);
}

TEST_F(MessageMap, UnmatchedMessagesReachTheDefaultHandling) {
  DerivedDlg derived(user, log);
  user.ChooseSystemMenu(0xF062);  // the close entry, position bits set
  EXPECT_EQ(derived.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(log, (Log{"sys 61538 0"}));  // handed on by the derived handler

  user.ChooseSystemMenu(ui::SC_MINIMIZE)
      .Then([&] { EXPECT_TRUE(derived.IsIconic()); })
      .ChooseSystemMenu(ui::SC_RESTORE)
      .Then([&] {
        EXPECT_FALSE(derived.IsIconic());
        derived.SendMessage(ui::WM_COMMAND, ui::MakeWParam(ui::IDOK, 1));  // OK, but not a click
        EXPECT_FALSE(user.Top()->Ending());
      })
      .Click(ui::IDOK);
  EXPECT_EQ(derived.RunModal(), ui::IDOK);

  // Without a system-command entry the close box goes straight to the default
  // handling.
  user.CloseBox();
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
}

constexpr const char* kFrame7Full = "File error on \"frame_7.bmp\": No space left on device";
constexpr const char* kFrame8Full = "File error on \"frame_8.bmp\": No space left on device";

// Fails the way a full disk makes a frame write fail.
class FailingHandlers : public UiTest {
 protected:
  void SetUp() override {
    dialog.onApply = [] { throw base::FileException("frame_7.bmp", ENOSPC); };
    dialog.onTick = [](ui::UINT) { throw base::FileException("frame_8.bmp", ENOSPC); };
  }
};

TEST_F(FailingHandlers, AFailureAHandlerLetsThroughIsShownOnceAndTheDialogGoesOn) {
  user.Click(IDC_APPLY)
      .Then([&] { dialog.SetTimer(5, 100); })
      .Wait(1000)  // the failing timer is stopped before its box: one box, not ten
      .Then([&] { EXPECT_FALSE(user.HasTimer(*user.Top(), 5)); })
      .Click(IDC_LOOP)
      .Click(ui::IDCANCEL);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(log, (Log{"apply", "5@100", "loop 1"}));
  ASSERT_EQ(user.MessageBoxes().size(), 2u);
  const auto& box = user.MessageBoxes()[0];
  EXPECT_EQ(box.text, kFrame7Full);
  EXPECT_EQ(box.caption, "Test");
  EXPECT_EQ(box.style, ui::MB_OK | ui::MB_ICONEXCLAMATION);
  EXPECT_EQ(box.ownerTemplateId, IDD_TEST);
  EXPECT_EQ(user.MessageBoxes()[1].text, kFrame8Full);
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

TEST_F(FailingHandlers, AFailureWhileTheErrorBoxIsOpenGoesToTheTraceInstead) {
  Log trace;
  base::ScopedTraceSink sink([&](std::string_view line) { trace.emplace_back(line); });
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
}  // namespace uitest
