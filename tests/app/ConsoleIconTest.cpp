// The application icon: on the console's window, as its drag picture, drawn
// centred while the console is minimised, and the icon resource itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "res/AppIcon.h"
#include "res/ResourceIds.h"
#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

// One WM_ICONERASEBKGND the console sent itself, and how many icons had been
// drawn when it did.
struct EraseSeen {
  const ui::ModalDialog* to = nullptr;
  ui::WPARAM wParam = 0;
  ui::LPARAM lParam = 0;
  std::size_t drawsBefore = 0;
};

// Watches every dispatched message for the lifetime of the object.
class ScopedObserver {
 public:
  explicit ScopedObserver(ui::MessageObserver observer) {
    ui::SetMessageObserver(std::move(observer));
  }
  ~ScopedObserver() { ui::SetMessageObserver({}); }
  ScopedObserver(const ScopedObserver&) = delete;
  ScopedObserver& operator=(const ScopedObserver&) = delete;
};

class ConsoleIcon : public ::testing::Test {
 protected:
  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
  }

  static void Paint(HeadlessWindow& window) { window.Dialog().SendMessage(ui::WM_PAINT); }

  HeadlessBackend user;
  const ui::HICON m_appIcon = FindIcon(IDR_MAINFRAME);
};

TEST_F(ConsoleIcon, TheWindowAndTheDragPictureShowTheApplicationIcon) {
  ASSERT_NE(m_appIcon, nullptr);
  EXPECT_EQ(theApp.LoadIcon(IDR_MAINFRAME), m_appIcon);
  EXPECT_EQ(theApp.LoadIcon(IDR_MAINFRAME + 1), nullptr);

  ui::HICON big = nullptr, small = nullptr, dragged = nullptr, draggedMinimised = nullptr;
  user.Then([&] {
        HeadlessWindow& console = *user.Top();
        big = console.Icon(true);
        small = console.Icon(false);
        dragged = reinterpret_cast<ui::HICON>(console.Dialog().SendMessage(ui::WM_QUERYDRAGICON));
      })
      .ChooseSystemMenu(ui::SC_MINIMIZE)
      .Then([&] {
        draggedMinimised =
            reinterpret_cast<ui::HICON>(user.Top()->Dialog().SendMessage(ui::WM_QUERYDRAGICON));
      })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(big, m_appIcon);
  EXPECT_EQ(small, m_appIcon);
  EXPECT_EQ(dragged, m_appIcon);
  EXPECT_EQ(draggedMinimised, m_appIcon);
}

// Minimised, the console erases its icon background and draws the 32-pixel
// icon centred, the halves truncated toward zero: a client narrower than the
// icon gives a negative position (width 0: -15; width 2: -14, not -15).
TEST_F(ConsoleIcon, MinimisedConsoleDrawsTheIconCentred) {
  struct Case {
    int width, height, x, y;
  };
  const std::vector<Case> cases = {
      {36, 36, 2, 2}, {0, 0, -15, -15}, {2, 1, -14, -15}, {100, 50, 34, 9}, {33, 32, 1, 0},
  };
  std::vector<EraseSeen> erases;
  std::vector<ui::headless::IconDraw> draws;
  const ui::ModalDialog* console = nullptr;
  ScopedObserver observer([&](const ui::ModalDialog& to, const ui::Message& message) {
    if (message.message != ui::WM_ICONERASEBKGND)
      return;
    HeadlessWindow* top = user.Top();
    erases.push_back({&to, message.wParam, message.lParam, top ? top->IconDraws().size() : 0});
  });

  user.ChooseSystemMenu(ui::SC_MINIMIZE).Then([&] {
    HeadlessWindow& window = *user.Top();
    console = &window.Dialog();
    for (const Case& c : cases) {
      window.SetClientSize(c.width, c.height);
      Paint(window);
    }
    draws = window.IconDraws();
  });
  user.Key(DialogKey::Escape);
  RunConsole();

  ASSERT_EQ(draws.size(), cases.size());
  ASSERT_EQ(erases.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("client " + std::to_string(cases[i].width) + " x " +
                 std::to_string(cases[i].height));
    EXPECT_EQ(draws[i].x, cases[i].x);
    EXPECT_EQ(draws[i].y, cases[i].y);
    EXPECT_EQ(draws[i].icon, m_appIcon);
    // Sent to the console itself, with the paint context, before the drawing.
    EXPECT_EQ(erases[i].to, console);
    EXPECT_NE(erases[i].wParam, 0u);
    EXPECT_EQ(erases[i].lParam, 0);
    EXPECT_EQ(erases[i].drawsBefore, i);
  }
}

TEST_F(ConsoleIcon, NoIconIsDrawnWhileTheConsoleIsNotMinimised) {
  int erases = 0;
  ScopedObserver observer([&](const ui::ModalDialog&, const ui::Message& message) {
    if (message.message == ui::WM_ICONERASEBKGND)
      ++erases;
  });
  std::size_t drawsBeforeMinimise = 99, drawsWhileMinimised = 99, drawsAfterRestore = 99;
  user.Then([&] {
        HeadlessWindow& window = *user.Top();
        window.SetClientSize(36, 36);
        Paint(window);
        drawsBeforeMinimise = window.IconDraws().size();
      })
      .ChooseSystemMenu(ui::SC_MINIMIZE)
      .Then([&] {
        Paint(*user.Top());
        drawsWhileMinimised = user.Top()->IconDraws().size();
      })
      .ChooseSystemMenu(ui::SC_RESTORE)
      .Then([&] {
        Paint(*user.Top());
        drawsAfterRestore = user.Top()->IconDraws().size();
      })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(drawsBeforeMinimise, 0u);
  EXPECT_EQ(drawsWhileMinimised, 1u);
  EXPECT_EQ(drawsAfterRestore, 1u);
  EXPECT_EQ(erases, 1);
}

// Both images are square, of the sizes the window system asks for, and drawn
// only with the 16 palette characters and '.' for the transparent mask: any
// other character would silently show as a hole.
TEST(AppIconResource, HasA32And16PixelImageInThePalette) {
  const ui::HICON icon = FindIcon(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->id, IDR_MAINFRAME);
  EXPECT_EQ(FindIcon(0), nullptr);

  constexpr std::string_view kAlphabet = "0123456789ABCDEF.";
  for (const ui::IconImage* image : {&icon->large, &icon->small}) {
    SCOPED_TRACE("image of " + std::to_string(image->size));
    ASSERT_EQ(image->rows.size(), static_cast<std::size_t>(image->size * image->size));
    EXPECT_EQ(image->rows.find_first_not_of(kAlphabet), std::string_view::npos);
    const std::vector<std::uint32_t> argb = ui::IconToArgb(*image);
    ASSERT_EQ(argb.size(), image->rows.size());
    const auto opaque =
        std::count_if(argb.begin(), argb.end(), [](std::uint32_t p) { return (p >> 24) == 0xFF; });
    // A picture, not an empty mask: most of each image is drawn.
    EXPECT_GT(opaque, static_cast<long>(argb.size() / 2));
  }
  EXPECT_EQ(icon->large.size, 32);
  EXPECT_EQ(icon->small.size, 16);
}

}  // namespace
