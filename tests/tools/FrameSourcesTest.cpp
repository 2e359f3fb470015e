// The two frame sources: the synthetic scene and the copy of the player's
// picture; and that a record tick with either allocates nothing.

#include <gtest/gtest.h>

#include <sstream>

#include "AllocationCount.h"
#include "CliTestSupport.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "tools/PictureSource.h"
#include "tools/SyntheticScene.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;

TEST(SyntheticScene, TargetsFollowTheirPathsAppearHideAndLeave) {
  EXPECT_EQ(SceneTarget(1, 14).state, TargetState::Absent);
  EXPECT_EQ(SceneTarget(1, 15).state, TargetState::Visible);
  EXPECT_EQ(SceneTarget(1, 15).x, 300);
  EXPECT_EQ(SceneTarget(2, 29).state, TargetState::Visible);
  EXPECT_EQ(SceneTarget(2, 30).state, TargetState::Absent);
  EXPECT_EQ(SceneTarget(2, 39).state, TargetState::Absent);
  EXPECT_EQ(SceneTarget(2, 40).state, TargetState::Visible);
  // Target 3's blob reaches the right edge at frame 19 and is gone after.
  EXPECT_EQ(SceneTarget(3, 19).x + kSceneBlobSize - 1, kSceneWidth - 1);
  EXPECT_EQ(SceneTarget(3, 20).state, TargetState::Gone);
  EXPECT_EQ(SceneTarget(3, 60).state, TargetState::Gone);
  EXPECT_EQ(SceneTarget(4, 10).state, TargetState::Absent);
  EXPECT_EQ(SceneTarget(0, -1).state, TargetState::Absent);
  // Far beyond the sample, every target has left.
  for (int t = 0; t < kSceneTargets; ++t)
    EXPECT_EQ(SceneTarget(t, 1000).state, TargetState::Gone) << t;
}

TEST(SyntheticScene, TheTrackFileHasOneRowPerTargetPerFrame) {
  std::ostringstream text;
  WriteSceneTracks(text, 3);
  EXPECT_EQ(text.str(),
            "4\n0\n20 60\n0 0\n40 220\n200 30\n24 61\n0 0\n42 218\n206 31\n"
            "28 62\n0 0\n44 216\n212 32\n");
}

TEST(SyntheticScene, TheBackgroundIsNeverBrightAndASmallBufferIsLeftAlone) {
  std::vector<std::uint8_t> picture(kSceneWidth * kSceneHeight * 3);
  RenderScene(1000, picture);  // no target left in the picture
  EXPECT_LE(*std::max_element(picture.begin(), picture.end()), kSceneBackgroundMax);
  EXPECT_GT(std::set<std::uint8_t>(picture.begin(), picture.end()).size(), 30u);
  std::vector<std::uint8_t> small(picture.size() - 1, 7);
  RenderScene(0, small);
  EXPECT_EQ(small, std::vector<std::uint8_t>(picture.size() - 1, 7));
}

TEST(PictureSource, TheTopLeftCornerIsCopiedRowByRowPastTheStride) {
  ui::Surface surface(5, 4, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      std::uint8_t* pixel = surface.Row(y) + x * 3;
      pixel[0] = static_cast<std::uint8_t>(10 * y + x);
      pixel[1] = 100;
      pixel[2] = 200;
    }
  }
  ASSERT_GT(surface.Stride(), 15);  // rows are padded to four bytes
  std::vector<std::uint8_t> capture(3 * 2 * 3, 9);
  CopySurfaceTopLeft(&surface, capture, 3, 2);
  EXPECT_EQ(capture, (std::vector<std::uint8_t>{0, 100, 200, 1, 100, 200, 2, 100, 200, 10, 100, 200,
                                                11, 100, 200, 12, 100, 200}));
}

TEST(PictureSource, WhatTheSurfaceDoesNotCoverIsBlack) {
  ui::Surface surface(2, 1, 0xF0);
  std::vector<std::uint8_t> capture(3 * 2 * 3, 9);
  CopySurfaceTopLeft(&surface, capture, 3, 2);
  EXPECT_EQ(capture, (std::vector<std::uint8_t>{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0, 0, 0, 0, 0,
                                                0, 0, 0, 0, 0, 0, 0}));
  CopySurfaceTopLeft(nullptr, capture, 3, 2);
  EXPECT_EQ(capture, std::vector<std::uint8_t>(18, 0));
  std::vector<std::uint8_t> tooSmall(17, 9);
  CopySurfaceTopLeft(&surface, tooSmall, 3, 2);
  EXPECT_EQ(tooSmall, std::vector<std::uint8_t>(17, 9));
}

// Record ticks driven straight through the handler, so that only the tick
// itself is counted: the source, the rearrangement and the file write. The
// root path is short enough for the file object's copy of the name to stay
// within the string's own storage.
TEST(FrameSources, ARecordTickAllocatesNothing) {
  const TempDir dir;
  const cli_test::InFolder inDir(dir.Path());
  const std::string savedRoot = g_rootPath;
  std::snprintf(g_rootPath, sizeof g_rootPath, "r");
  g_stopRecording = 0;
  g_recordedFrames = 15;  // the fifth tick prints "Frame 20"
  HeadlessBackend user;
  CKorvaneDlg console;
  int sceneAllocations = -1;
  int pictureAllocations = -1;
  user.Then([&] {
        ASSERT_TRUE(console.ArmRecorder(320, 240, 40, MakeSceneSource()));
        alloc_test::StartCounting();
        for (int i = 0; i < 5; ++i)
          console.OnRecordTimer(res::IDT_RECORD);
        sceneAllocations = alloc_test::StopCounting();
      })
      .Click(res::IDC_READ_SERIES)
      .Then([&] {
        ASSERT_TRUE(console.ArmRecorder(320, 240, 40,
                                        MakePictureSource(g_fileReadDlg.m_picture, 320, 240)));
        alloc_test::StartCounting();
        for (int i = 0; i < 5; ++i)
          console.OnRecordTimer(res::IDT_RECORD);
        pictureAllocations = alloc_test::StopCounting();
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  console.RunModal();
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", savedRoot.c_str());
  g_recordedFrames = 0;

  // The count sees allocations at all.
  alloc_test::StartCounting();
  const std::string probe(100, 'x');
  EXPECT_EQ(alloc_test::StopCounting(), 1);
  EXPECT_EQ(probe.size(), 100u);

  EXPECT_EQ(sceneAllocations, 0);
  EXPECT_EQ(pictureAllocations, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.FilePath("r_0019.bmp")));
  EXPECT_TRUE(std::filesystem::exists(dir.FilePath("r_0024.bmp")));
  EXPECT_FALSE(user.ScriptExhausted());
}

}  // namespace

namespace {

// Shows a fault of the platform layer: ui::BinaryFile::Open keeps a copy of the
// file name in a std::string (for the message of a later FileException), so
// every record tick whose file name is longer than the string's own storage
// allocates. Enable once the file object no longer copies the name on open.
TEST(FrameSources, ARecordTickUnderALongRootAllocatesNothing) {
  const TempDir dir;
  const std::string savedRoot = g_rootPath;
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", dir.FilePath("a-longer-root").c_str());
  g_stopRecording = 0;
  g_recordedFrames = 0;
  HeadlessBackend user;
  CKorvaneDlg console;
  int allocations = -1;
  user.Then([&] {
        ASSERT_TRUE(console.ArmRecorder(320, 240, 40, MakeSceneSource()));
        alloc_test::StartCounting();
        console.OnRecordTimer(res::IDT_RECORD);
        allocations = alloc_test::StopCounting();
      })
      .Key(ui::DialogKey::Escape);
  console.RunModal();
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", savedRoot.c_str());
  g_recordedFrames = 0;

  EXPECT_TRUE(std::filesystem::exists(dir.FilePath("a-longer-root_0000.bmp")));
  EXPECT_EQ(allocations, 0);
}

}  // namespace
