#pragma once
// What the platform-layer tests share: one dialog with a control of each kind
// whose handlers log what reached them, and a fixture that runs it on the
// headless backend and checks that the script went as planned.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/core/DataExchange.h"
#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

namespace uitest {

using Log = std::vector<std::string>;
using ui::ControlKind;
using ui::headless::HeadlessBackend;

inline constexpr int IDD_TEST = 400, IDD_NESTED = 410, IDD_PLAIN = 420;
inline constexpr int IDC_NAME = 401, IDC_SPEED = 402, IDC_LOOP = 403, IDC_PICTURE = 404,
                     IDC_APPLY = 405, IDC_OPEN = 406;

// A label and a picture come first, so the first tab stop is the third
// control; Apply is the default button, OK is not.
inline constexpr ui::ControlTemplate kControls[] = {
    {-1, ControlKind::Label, "Name:", 5, 5, 30, 8},
    {IDC_PICTURE, ControlKind::Picture, "", 5, 60, 40, 24},
    {IDC_NAME, ControlKind::Edit, "", 40, 5, 80, 12, ui::kTabStop},
    {IDC_SPEED, ControlKind::Edit, "", 40, 20, 30, 12, ui::kTabStop},
    {IDC_LOOP, ControlKind::CheckBox, "&Loop", 40, 50, 40, 10, ui::kTabStop},
    {IDC_APPLY, ControlKind::DefPushButton, "&Apply", 130, 5, 50, 14, ui::kTabStop},
    {IDC_OPEN, ControlKind::PushButton, "&Open", 130, 25, 50, 14, ui::kTabStop},
    {ui::IDOK, ControlKind::PushButton, "OK", 130, 45, 50, 14, ui::kTabStop},
    {ui::IDCANCEL, ControlKind::PushButton, "Cancel", 130, 65, 50, 14, ui::kTabStop},
};
inline constexpr ui::ControlTemplate kPlainControls[] = {
    {IDC_NAME, ControlKind::Edit, "", 5, 5, 80, 12, ui::kTabStop},
    {IDC_SPEED, ControlKind::Edit, "", 5, 20, 30, 12, ui::kTabStop},
};
inline constexpr ui::DialogTemplate kTemplate{
    IDD_TEST, ui::kCaption | ui::kSysMenu, "Test", "Sans", 8, 0, 0, 200, 100, kControls};
inline constexpr ui::DialogTemplate kNested{IDD_NESTED, ui::kCaption, "Nested", "Sans",   8, 0,
                                            0,          200,          100,      kControls};
// No default push button at all.
inline constexpr ui::DialogTemplate kPlain{IDD_PLAIN, ui::kCaption, "Plain", "Sans",        8, 0,
                                           0,         100,          50,      kPlainControls};

// Logs "apply", "loop 1" (with the box's state) and each timer tick as
// "id@virtual time"; Open runs the nested dialog. Hooks let a test act inside
// a handler.
class TestDlg : public ui::ModalDialog {
 public:
  TestDlg(const HeadlessBackend& clock, Log& log, const ui::DialogTemplate& t = kTemplate)
      : ui::ModalDialog(t, nullptr), m_clock(clock), m_log(log) {}

  bool OnInitDialog() override {
    ui::ModalDialog::OnInitDialog();
    if (onInit)
      onInit();
    return true;
  }
  void OnApply() {
    m_log.push_back("apply");
    if (onApply)
      onApply();
  }
  void OnLoop() { m_log.push_back("loop " + std::to_string(IsDlgButtonChecked(IDC_LOOP))); }
  void OnOpen() { nestedCode = nested != nullptr ? nested->RunModal() : 0; }
  void OnTick(ui::UINT id) {
    m_log.push_back(std::to_string(id) + "@" + std::to_string(m_clock.Now()));
    if (onTick)
      onTick(id);
  }

  std::string m_name = "take9";
  int m_speed = 25;
  ui::PictureControl m_picture;
  std::function<void()> onInit, onApply;
  std::function<void(ui::UINT)> onTick;
  TestDlg* nested = nullptr;
  int nestedCode = 0;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<TestDlg>;
    static const Map map(
        nullptr,
        {Map::OnCommand(IDC_APPLY, &TestDlg::OnApply), Map::OnCommand(IDC_LOOP, &TestDlg::OnLoop),
         Map::OnCommand(IDC_OPEN, &TestDlg::OnOpen), Map::OnTimer(&TestDlg::OnTick)});
    return &map;
  }
  void ExchangeData(ui::DataExchange* dx) override {
    ui::ExchangeControl(dx, IDC_PICTURE, m_picture);
    ui::ExchangeText(dx, IDC_NAME, m_name);
    ui::ExchangeText(dx, IDC_SPEED, m_speed);
  }

  const HeadlessBackend& m_clock;
  Log& m_log;
};

// One dialog on a fresh headless backend. The script must not run out unless
// the test says so, and must never name a missing control.
class UiTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(user.ScriptExhausted(), expectExhausted);
    EXPECT_EQ(user.ScriptErrors(), Log{});
  }

  HeadlessBackend user;
  Log log;
  TestDlg dialog{user, log};
  bool expectExhausted = false;
};

}  // namespace uitest
