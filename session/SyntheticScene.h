#pragma once
// A synthetic take for trying the player and trackers: a textured background
// with four moving targets whose true positions are known exactly, so that the
// frames and the track file written beside them agree by construction.
//
// Each target is a bright 6 × 6 blob. A target's position (x, y) is the blob's
// bottom-left pixel, counted from the picture's top-left corner: the blob
// covers columns x to x + 5 and rows y − 5 to y. That is the corner the
// player's overlays use, so a marker at the target's position covers its blob.
//
// The targets move in straight lines, one step per frame:
//   target 0 is in the picture from frame 0 on;
//   target 1 appears late, at frame 15;
//   target 2 disappears for frames 30 to 39 and then comes back;
//   target 3 moves right and leaves the picture at frame 20, for good.
// Every background pixel has all three bytes at most kSceneBackgroundMax and
// every blob pixel has all three at least kSceneTargetMin, so a threshold
// between the two finds the targets.

#include <cstdint>
#include <ostream>
#include <span>

#include "console/KorvaneDlg.h"

inline constexpr int kSceneWidth = 320;
inline constexpr int kSceneHeight = 240;
inline constexpr int kSceneTargets = 4;
// The sample series holds frames 0 to kSceneFrames − 1.
inline constexpr int kSceneFrames = 61;
inline constexpr int kSceneBlobSize = 6;
inline constexpr std::uint8_t kSceneBackgroundMax = 120;
inline constexpr std::uint8_t kSceneTargetMin = 160;
// The row the track file holds for a target that has left the picture: any
// coordinate above 999 disables the target.
inline constexpr int kSceneGoneCoordinate = 1000;

enum class TargetState {
  Absent,   // not (or not yet) in the picture, or hidden for a while
  Visible,  // the whole blob lies in the picture at (x, y)
  Gone,     // has left the picture and does not come back
};

struct TargetView {
  TargetState state = TargetState::Absent;
  int x = 0;
  int y = 0;
};

struct SceneColour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// Where target `target` is at `frame`. Targets outside 0..kSceneTargets − 1
// and negative frames are Absent.
TargetView SceneTarget(int target, int frame);

// The colour of a target's blob; every byte is at least kSceneTargetMin.
SceneColour SceneTargetColour(int target);

// Draws frame `frame` into `picture`: kSceneWidth × kSceneHeight pixels, top
// row first, three bytes each in the order red, green, blue. A smaller span
// is left untouched.
void RenderScene(int frame, std::span<std::uint8_t> picture);

// Writes the track file of frames 0 to frames − 1: the target count, the
// first frame 0, then one "x y" row per target per frame. An absent target's
// row is "0 0"; a target that has left the picture gets
// "1000 1000", which disables it.
void WriteSceneTracks(std::ostream& out, int frames);

// A frame source for the recorder that draws the scene's frame for each tick.
FrameSource MakeSceneSource();
