// Window timers on the headless backend's virtual clock: when they fire, how
// they are replaced and killed, their order across windows, and how the clock
// and the scripted user end.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;
using Log = std::vector<std::string>;

constexpr int IDD_OUTER = 600, IDD_INNER = 610, IDC_OPEN = 601;

const ui::ControlTemplate kControls[] = {
    {IDC_OPEN, ui::ControlKind::PushButton, "&Open", 5, 5, 50, 14, ui::kTabStop},
};
const ui::DialogTemplate kOuter{IDD_OUTER, ui::kCaption, "Outer", "Sans",   8, 0,
                                0,         80,           50,      kControls};
const ui::DialogTemplate kInner{IDD_INNER, ui::kCaption, "Inner", "Sans",   8, 0,
                                0,         80,           50,      kControls};

// Writes every tick as "id@time" into a log shared by the windows of a test;
// Open runs the nested dialog.
class TimerDlg : public ui::ModalDialog {
 public:
  TimerDlg(const HeadlessBackend& clock, Log& log, const ui::DialogTemplate& t = kOuter)
      : ui::ModalDialog(t, nullptr), m_clock(clock), m_log(log) {}
  void OnTick(ui::UINT id) {
    m_log.push_back(std::to_string(id) + "@" + std::to_string(m_clock.Now()));
    if (onTick)
      onTick(id);
  }
  void OnOpen() { nestedCode = nested->RunModal(); }

  std::function<void(ui::UINT)> onTick;
  TimerDlg* nested = nullptr;
  int nestedCode = 0;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<TimerDlg>;
    static const Map map(
        nullptr, {Map::OnTimer(&TimerDlg::OnTick), Map::OnCommand(IDC_OPEN, &TimerDlg::OnOpen)});
    return &map;
  }

 private:
  const HeadlessBackend& m_clock;
  Log& m_log;
};

class HeadlessTimers : public ::testing::Test {
 protected:
  int Interval(ui::UINT id) const { return user.TimerInterval(*user.Top(), id); }

  HeadlessBackend user;
  Log log;
  TimerDlg dialog{user, log};
};

TEST_F(HeadlessTimers, ATimerFiresEveryIntervalAndSettingItAgainRestartsIt) {
  std::vector<int> intervals;
  user.Then([&] {
        user.FailTimers(true);  // no timer to be had
        EXPECT_EQ(dialog.SetTimer(1, 100), 0u);
        EXPECT_FALSE(user.HasTimer(*user.Top(), 1));
        user.FailTimers(false);
        EXPECT_EQ(dialog.SetTimer(1, 100), 1u);
      })
      .Wait(250)
      .Then([&] { dialog.SetTimer(1, 100); })  // at 250: next tick at 350, not 300
      .Wait(150)
      .Then([&] {
        EXPECT_EQ(user.Now(), 400);
        intervals.push_back(Interval(1));
        dialog.SetTimer(1, 40);
        intervals.push_back(Interval(1));
      })
      .Wait(100)
      .Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(intervals, (std::vector<int>{100, 40}));
  EXPECT_EQ(log, (Log{"1@100", "1@200", "1@350", "1@440", "1@480"}));
}

TEST_F(HeadlessTimers, AKilledTimerStopsAlsoWhenItsOwnHandlerKillsIt) {
  std::vector<bool> results;
  dialog.onTick = [&](ui::UINT id) {
    if (id == 7)
      dialog.KillTimer(7);
  };
  user.Then([&] {
        dialog.SetTimer(1, 100);
        dialog.SetTimer(102, 150);
        dialog.SetTimer(7, 60);
      })
      .Wait(200)
      .Then([&] {
        results = {dialog.KillTimer(1), dialog.KillTimer(1), user.HasTimer(*user.Top(), 1)};
      })
      .Wait(200)
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_EQ(results, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(log, (Log{"7@60", "1@100", "102@150", "1@200", "102@300"}));
}

TEST_F(HeadlessTimers, ShortIntervalsAreRaisedToTheMinimumAndTiesFireInCreationOrder) {
  std::vector<int> intervals;
  user.Then([&] {
        dialog.SetTimer(2, 0);
        dialog.SetTimer(1, 3);
        dialog.SetTimer(3, 10);
        EXPECT_EQ(dialog.SetTimer(0, 100), 0u);  // 0 is no timer id
        intervals = {Interval(1), Interval(2), Interval(3)};
      })
      .Wait(20)
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_EQ(intervals, (std::vector<int>{10, 10, 10}));
  EXPECT_EQ(log, (Log{"2@10", "1@10", "3@10", "2@20", "1@20", "3@20"}));
}

TEST_F(HeadlessTimers, TimersOfALowerDialogKeepFiringWhileANestedOneRuns) {
  TimerDlg inner(user, log, kInner);
  dialog.nested = &inner;
  bool innerGone = false;
  user.Then([&] { dialog.SetTimer(1, 30); })
      .Click(IDC_OPEN)
      .Then([&] { inner.SetTimer(102, 20); })
      .Wait(60)
      .Key(ui::DialogKey::Escape)  // ends the inner dialog and its timer
      .Then([&] { innerGone = user.FindWindow(IDD_INNER) == nullptr; })
      .Wait(30)
      .Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.nestedCode, ui::IDCANCEL);
  EXPECT_TRUE(innerGone);
  // At 60 both are due; the outer timer was made first.
  EXPECT_EQ(log, (Log{"102@20", "1@30", "102@40", "1@60", "102@60", "1@90"}));
  EXPECT_FALSE(user.ScriptExhausted());
}

TEST_F(HeadlessTimers, TheClockStopsWhenADialogIsAskedToEnd) {
  dialog.onTick = [&](ui::UINT) {
    if (log.size() == 3)
      dialog.EndModal(7);
  };
  user.Then([&] { dialog.SetTimer(1, 100); }).Wait(1000);
  EXPECT_EQ(dialog.RunModal(), 7);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(user.Now(), 300);
  EXPECT_FALSE(user.ScriptExhausted());
  user.Advance(500);  // outside any dialog, time passes and nothing fires
  EXPECT_EQ(user.Now(), 800);
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(HeadlessTimers, WhenTheScriptRunsOutEveryOpenDialogIsCancelled) {
  TimerDlg inner(user, log, kInner);
  dialog.nested = &inner;
  user.Then([&] { dialog.SetTimer(1, 10); }).Click(IDC_OPEN);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.nestedCode, ui::IDCANCEL);
  EXPECT_TRUE(user.ScriptExhausted());
  EXPECT_EQ(user.Now(), 0);  // running out lets no time pass
}

// Fault: HeadlessBackend::SetTimer casts the interval to int, so one above
// INT_MAX turns negative and Advance then fires the timer forever. Checked
// without Advance, so the test cannot hang.
TEST_F(HeadlessTimers, AVeryLongIntervalIsCappedNotWrapped) {
  int interval = 0;
  user.Then([&] {
        dialog.SetTimer(1, 0xFFFFFFFFu);
        interval = Interval(1);
      })
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_GE(interval, 10);
}

// Fault: HeadlessBackend::Advance stops while any dialog on the stack is
// ending, not only the innermost one, whose loop alone can return: a lower
// dialog that ends itself from a timer freezes a nested dialog's clock.
TEST_F(HeadlessTimers, ALowerDialogEndingDoesNotFreezeTheNestedDialogsClock) {
  TimerDlg inner(user, log, kInner);
  dialog.nested = &inner;
  dialog.onTick = [&](ui::UINT) { dialog.EndModal(5); };
  user.Then([&] { dialog.SetTimer(1, 10); })
      .Click(IDC_OPEN)
      .Then([&] { inner.SetTimer(2, 10); })
      .Wait(35)
      .Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), 5);
  EXPECT_EQ(user.Now(), 35);
  Log innerTicks;
  std::copy_if(log.begin(), log.end(), std::back_inserter(innerTicks),
               [](const std::string& tick) { return tick.starts_with("2@"); });
  EXPECT_EQ(innerTicks, (Log{"2@10", "2@20", "2@30"}));
}

}  // namespace
