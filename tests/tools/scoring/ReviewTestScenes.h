#pragma once
// Scenes for the review command's tests: a grey source (no colour a mark
// uses), written as a lossless video or as picture files, and a noisy
// tracker's output for its truth, as MOTChallenge text.

#include <QImage>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mot/MotRows.h"
#include "support/VideoFiles.h"

namespace review_test {

// Source frame `frame` (from 1): shades of grey from 20 to 219, which are
// neither white, black nor any colour of the marks.
inline std::vector<std::uint8_t> GreyPicture(int width, int height, int frame) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto grey = static_cast<std::uint8_t>(20 + (x / 4 + y / 3 + frame * 5) % 200);
      std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      pixel[0] = pixel[1] = pixel[2] = grey;
    }
  }
  return rgb;
}

inline std::optional<std::string> WriteGreyVideo(const std::string& path, int width, int height,
                                                 int frames, int rate) {
  return test_video::WriteVideo(
      path, width, height, rate, frames, [&](int i) { return GreyPicture(width, height, i + 1); },
      video::FrameLayout::TopDownBgr);
}

// Frames 1 .. frames as folder/000001.png and on, the folder made for them.
inline bool WriteGreyPictures(const std::string& folder, int width, int height, int frames) {
  std::filesystem::create_directories(folder);
  for (int f = 1; f <= frames; ++f) {
    std::vector<std::uint8_t> rgb = GreyPicture(width, height, f);
    const QImage image(rgb.data(), width, height, width * 3, QImage::Format_RGB888);
    char name[32];
    std::snprintf(name, sizeof name, "/%06d.png", f);
    if (!image.save(QString::fromStdString(folder + name), "PNG"))
      return false;
  }
  return true;
}

// The rows as MOTChallenge text: ground truth with confidence 1 and class 1
// (pedestrians, scored by the protocol), or a tracker's output.
enum class Side { kTruth, kTracker };
inline std::string MotText(const std::vector<cli::MotRow>& rows, Side side) {
  std::ostringstream text;
  for (const cli::MotRow& row : rows)
    text << row.frame << ',' << row.id << ',' << row.left << ',' << row.top << ',' << row.width
         << ',' << row.height << (side == Side::kTruth ? ",1,1,1\n" : ",1,-1,-1,-1\n");
  return text.str();
}

struct Scene {
  std::vector<cli::MotRow> truth;
  std::vector<cli::MotRow> hypotheses;
};

// `targets` people walking across a width x height picture for `frames`
// frames, and a tracker that jitters, loses a box now and then, reports
// boxes where nobody is, hands a target to a new id and swaps two targets'
// ids half way.
inline Scene NoisyTracker(int frames, int width, int height, int targets, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  Scene scene;
  for (int t = 0; t < targets; ++t) {
    const double w = width / 30.0 + unit(random) * width / 25.0;
    const double h = w * 2.2;
    const double x0 = unit(random) * (width - w);
    const double y0 = unit(random) * (height - h);
    const double vx = (unit(random) - 0.5) * width / 100.0;
    const double vy = (unit(random) - 0.5) * height / 150.0;
    const int handOver = static_cast<int>(frames * (0.3 + 0.4 * unit(random)));
    for (int f = 1; f <= frames; ++f) {
      const double left = x0 + vx * f;
      const double top = y0 + vy * f;
      scene.truth.push_back({f, t + 1, left, top, w, h});
      if (unit(random) < 0.06)
        continue;  // a miss
      int id = 100 + t;
      if (t % 4 == 0 && f >= handOver)
        id = 200 + t;  // a new id for the same person: a switch
      if (t == 1 && f > frames / 2)
        id = 102;  // targets 1 and 2 (ids 101 and 102) swap
      else if (t == 2 && f > frames / 2)
        id = 101;
      scene.hypotheses.push_back(
          {f, id, left + (unit(random) - 0.5) * 4, top + (unit(random) - 0.5) * 4, w, h});
    }
  }
  for (int f = 1; f <= frames; ++f) {
    if (unit(random) < 0.3)
      scene.hypotheses.push_back(
          {f, 900 + f, unit(random) * (width - 60), unit(random) * (height - 120), 60, 120});
  }
  return scene;
}

}  // namespace review_test
