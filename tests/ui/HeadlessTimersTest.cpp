// Window timers on the headless backend's virtual clock: when they fire, how
// they are replaced and killed, their order across windows, and how the clock
// and the scripted user end.

#include <climits>

#include "UiTestDialog.h"

namespace uitest {
namespace {

class HeadlessTimers : public UiTest {
 protected:
  int Interval(ui::UINT id) const { return user.TimerInterval(*user.Top(), id); }
  TestDlg inner{user, log, kNested};
};

TEST_F(HeadlessTimers, ATimerFiresEveryIntervalRestartsWhenSetAgainAndStopsWhenKilled) {
  dialog.onTick = [&](ui::UINT id) {
    if (id == 7)
      dialog.KillTimer(7);  // from its own handler
  };
  user.Then([&] {
        EXPECT_EQ(dialog.SetTimer(1, 100), 1u);
        dialog.SetTimer(7, 60);
      })
      .Wait(250)
      .Then([&] { dialog.SetTimer(1, 100); })  // at 250: next tick at 350, not 300
      .Wait(150)
      .Then([&] { dialog.SetTimer(1, 40); })
      .Wait(100)
      .Then([&] {
        EXPECT_TRUE(dialog.KillTimer(1));
        EXPECT_FALSE(dialog.KillTimer(1));
      })
      .Wait(200)
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_EQ(log, (Log{"7@60", "1@100", "1@200", "1@350", "1@440", "1@480"}));
}

TEST_F(HeadlessTimers, IntervalsAreHeldBetweenTheMinimumAndIntMaxAndTiesFireInCreationOrder) {
  user.Then([&] {
        dialog.SetTimer(2, 0);
        dialog.SetTimer(1, 3);
        dialog.SetTimer(3, 10);
        EXPECT_EQ(dialog.SetTimer(0, 100), 0u);  // 0 is no timer id
        EXPECT_EQ(Interval(2), 10);
        // Cast to int, this interval would turn negative and fire forever;
        // it is looked at, never waited for, so the test cannot hang.
        dialog.SetTimer(4, 0xFFFFFFFFu);
        EXPECT_EQ(Interval(4), INT_MAX);
        dialog.KillTimer(4);
      })
      .Wait(20)
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_EQ(log, (Log{"2@10", "1@10", "3@10", "2@20", "1@20", "3@20"}));
}

// Timers of a lower dialog keep firing while a nested one runs. Only the
// innermost dialog's end stops the clock: a lower dialog that ends itself from
// a timer must not freeze the nested dialog above it, whose loop alone can
// return.
TEST_F(HeadlessTimers, TheClockStopsWhenTheInnermostDialogIsAskedToEnd) {
  dialog.nested = &inner;
  dialog.onTick = [&](ui::UINT id) {
    dialog.KillTimer(id);
    dialog.EndModal(5);
  };
  inner.onTick = [&](ui::UINT) {
    if (log.size() == 4)
      inner.EndModal(7);
  };
  user.Then([&] { dialog.SetTimer(1, 10); })
      .Click(IDC_OPEN)
      .Then([&] { inner.SetTimer(2, 10); })
      .Wait(1000);
  EXPECT_EQ(dialog.RunModal(), 5);
  EXPECT_EQ(dialog.nestedCode, 7);
  EXPECT_EQ(user.Now(), 30);
  EXPECT_EQ(log, (Log{"1@10", "2@10", "2@20", "2@30"}));
  user.Advance(500);  // outside any dialog, time passes and nothing fires
  EXPECT_EQ(user.Now(), 530);
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(HeadlessTimers, WhenTheScriptRunsOutEveryOpenDialogIsCancelled) {
  expectExhausted = true;
  dialog.nested = &inner;
  user.Then([&] { dialog.SetTimer(1, 10); }).Click(IDC_OPEN);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.nestedCode, ui::IDCANCEL);
  EXPECT_EQ(user.Now(), 0);  // running out lets no time pass
}

}  // namespace
}  // namespace uitest
