#include "session/SyntheticScene.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// A straight path: the position at frame f is (x0 + dx × s, y0 + dy × s) with
// s = f − appear, from frame `appear` on, except over the hidden frames.
struct TargetPath {
  int x0;
  int y0;
  int dx;
  int dy;
  int appear;
  int hideFrom;   // first hidden frame; equal to hideUntil for none
  int hideUntil;  // first frame seen again
};

constexpr std::array<TargetPath, kSceneTargets> kPaths{{
    {20, 60, 4, 1, 0, 0, 0},
    {300, 200, -3, -1, 15, 0, 0},
    {40, 220, 2, -2, 0, 30, 40},
    {200, 30, 6, 1, 0, 0, 0},
}};

constexpr std::array<SceneColour, kSceneTargets> kColours{{
    {255, 255, 255},
    {255, 255, 160},
    {160, 255, 255},
    {255, 160, 255},
}};

bool BlobInside(int x, int y) {
  return x >= 0 && x + kSceneBlobSize - 1 < kSceneWidth && y - (kSceneBlobSize - 1) >= 0 &&
         y < kSceneHeight;
}

// A fixed, fine-grained grain on a coarse checkerboard: enough texture that a
// tracker cannot simply look for anything that is not flat, and never bright.
std::uint8_t BackgroundLevel(int x, int y) {
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  const int checker = ((x / 40 + y / 30) % 2) * 12;
  return static_cast<std::uint8_t>(40 + static_cast<int>(h % 40) + checker);
}

}  // namespace

TargetView SceneTarget(int target, int frame) {
  if (target < 0 || target >= kSceneTargets || frame < 0)
    return {};
  const TargetPath& path = kPaths[static_cast<std::size_t>(target)];
  if (frame < path.appear)
    return {};
  const int steps = frame - path.appear;
  const int x = path.x0 + path.dx * steps;
  const int y = path.y0 + path.dy * steps;
  // The paths are straight and the picture is convex, so a blob that is no
  // longer wholly inside has left for good.
  if (!BlobInside(x, y))
    return {TargetState::Gone, 0, 0};
  if (frame >= path.hideFrom && frame < path.hideUntil)
    return {};
  return {TargetState::Visible, x, y};
}

SceneColour SceneTargetColour(int target) {
  if (target < 0 || target >= kSceneTargets)
    return {255, 255, 255};
  return kColours[static_cast<std::size_t>(target)];
}

void RenderScene(int frame, std::span<std::uint8_t> picture) {
  constexpr std::size_t kRowBytes = static_cast<std::size_t>(kSceneWidth) * 3;
  if (picture.size() < kRowBytes * kSceneHeight)
    return;
  std::uint8_t* out = picture.data();
  for (int y = 0; y < kSceneHeight; ++y) {
    for (int x = 0; x < kSceneWidth; ++x) {
      const std::uint8_t level = BackgroundLevel(x, y);
      *out++ = level;
      *out++ = static_cast<std::uint8_t>(level + 8);
      *out++ = static_cast<std::uint8_t>(level + 16);
    }
  }
  for (int t = 0; t < kSceneTargets; ++t) {
    const TargetView view = SceneTarget(t, frame);
    if (view.state != TargetState::Visible)
      continue;
    const SceneColour colour = SceneTargetColour(t);
    for (int row = view.y - (kSceneBlobSize - 1); row <= view.y; ++row) {
      std::uint8_t* pixel = picture.data() + static_cast<std::size_t>(row) * kRowBytes +
                            static_cast<std::size_t>(view.x) * 3;
      for (int c = 0; c < kSceneBlobSize; ++c) {
        *pixel++ = colour.red;
        *pixel++ = colour.green;
        *pixel++ = colour.blue;
      }
    }
  }
}

void WriteSceneTracks(std::ostream& out, int frames) {
  out << kSceneTargets << '\n' << 0 << '\n';
  for (int f = 0; f < frames; ++f) {
    for (int t = 0; t < kSceneTargets; ++t) {
      const TargetView view = SceneTarget(t, f);
      switch (view.state) {
        case TargetState::Visible:
          out << view.x << ' ' << view.y << '\n';
          break;
        case TargetState::Absent:
          out << "0 0\n";
          break;
        case TargetState::Gone:
          out << kSceneGoneCoordinate << ' ' << kSceneGoneCoordinate << '\n';
          break;
      }
    }
  }
}

FrameSource MakeSceneSource() {
  return [](int tick, std::span<std::uint8_t> capture) { RenderScene(tick, capture); };
}
