// The synthetic scene the sample is recorded from, and that a record tick
// with it allocates nothing.

#include <gtest/gtest.h>

#include <set>

#include "AllocationCount.h"
#include "console/KorvaneDlg.h"
#include "res/ResourceIds.h"
#include "session/SyntheticScene.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;

// The scene itself is checked frame by frame through the sample command; here
// what lies outside the sample: no target 4, nothing before frame 0, every
// target gone by frame 1000, and a buffer too small is left alone.
TEST(SyntheticScene, OutsideTheSampleNothingIsBrightAndASmallBufferIsLeftAlone) {
  EXPECT_EQ(SceneTarget(4, 10).state, TargetState::Absent);
  EXPECT_EQ(SceneTarget(0, -1).state, TargetState::Absent);
  for (int t = 0; t < kSceneTargets; ++t)
    EXPECT_EQ(SceneTarget(t, 1000).state, TargetState::Gone) << t;
  std::vector<std::uint8_t> picture(kSceneWidth * kSceneHeight * 3);
  RenderScene(1000, picture);  // no target left in the picture
  EXPECT_LE(*std::max_element(picture.begin(), picture.end()), kSceneBackgroundMax);
  EXPECT_GT(std::set<std::uint8_t>(picture.begin(), picture.end()).size(), 30u);
  std::vector<std::uint8_t> small(picture.size() - 1, 7);
  RenderScene(0, small);
  EXPECT_EQ(small, std::vector<std::uint8_t>(picture.size() - 1, 7));
}

// Record ticks driven straight through the handler, so that only the tick
// itself is counted: the source, the rearrangement and the file write, under
// a root path too long for a string's own storage (the file name is held in
// place, not copied).
TEST(FrameSources, ARecordTickAllocatesNothing) {
  const TempDir dir;
  const std::string savedRoot = g_rootPath;
  const std::string root = dir.File("a-root-longer-than-a-short-string");
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", root.c_str());
  g_stopRecording = 0;
  g_recordedFrames = 15;  // the fifth tick prints "Frame 20"
  HeadlessBackend user;
  CKorvaneDlg console;
  std::vector<int> allocations;
  const auto countTicks = [&](FrameSource source) {
    ASSERT_TRUE(console.ArmRecorder(320, 240, 40, std::move(source)));
    alloc_test::StartCounting();
    for (int i = 0; i < 5; ++i)
      console.OnRecordTimer(res::IDT_RECORD);
    allocations.push_back(alloc_test::StopCounting());
  };
  user.Then([&] { countTicks(MakeSceneSource()); }).Key(ui::DialogKey::Escape);
  console.RunModal();
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", savedRoot.c_str());
  g_recordedFrames = 0;

  // The count sees allocations at all.
  alloc_test::StartCounting();
  const std::string probe(100, 'x');
  EXPECT_EQ(alloc_test::StopCounting(), 1);
  EXPECT_EQ(probe.size(), 100u);

  EXPECT_EQ(allocations, (std::vector<int>{0}));
  EXPECT_TRUE(std::filesystem::exists(root + "_0015.bmp"));
  EXPECT_TRUE(std::filesystem::exists(root + "_0019.bmp"));
  EXPECT_FALSE(user.ScriptExhausted());
}

}  // namespace
