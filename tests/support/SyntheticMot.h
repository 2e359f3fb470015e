#pragma once
// A synthetic MOTChallenge sequence: pedestrians walking through a picture,
// each for a stretch of frames, a static person and a parked car the
// benchmark does not score, and a tracker's output that follows every
// pedestrian a little off, with a share of its boxes disturbed. For the
// evaluation's tests and benchmarks; header-only, as the benchmark programs
// include it too.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace synthetic_mot {

struct Box {
  int frame = 0;
  int id = 0;
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
  double conf = 1.0;
  int classId = 1;
};

struct SceneShape {
  int frames = 600;
  int people = 70;
  int width = 1920;
  int height = 1080;
  int shortest = 150;  // frames a pedestrian is in the picture, at least
  int longest = 600;   // and at most (both capped by frames)
  // The tracker's boxes lie this many pixels right of and below the truth.
  double offset = 1.0;
  // The share of the tracker's boxes disturbed: displaced far off (a miss
  // and a false positive), reported under a new id from then on (an
  // identity switch), or left out with a stray box elsewhere.
  double noisy = 0.0;
  unsigned seed = 1;
};

struct Scene {
  std::vector<Box> truth;
  std::vector<Box> hypotheses;
};

inline Scene MakeScene(const SceneShape& shape) {
  std::mt19937 random(shape.seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const int longest = std::max(1, std::min(shape.longest, shape.frames));
  const int shortest = std::clamp(shape.shortest, 1, longest);
  std::uniform_int_distribution<int> length(shortest, longest);
  Scene scene;
  int nextId = 100000;  // the ids a disturbed tracker moves on to
  for (int person = 1; person <= shape.people; ++person) {
    const int frames = length(random);
    const int first = 1 + std::uniform_int_distribution<int>(0, shape.frames - frames)(random);
    const double w = 30 + 80 * unit(random);
    const double h = 2.5 * w;
    double left = (shape.width - w) * unit(random);
    double top = (shape.height - h) * unit(random);
    const double dx = 6 * unit(random) - 3;
    const double dy = 2 * unit(random) - 1;
    int trackerId = 1000 + person;
    for (int f = first; f < first + frames; ++f) {
      left = std::clamp(left + dx, 0.0, shape.width - w);
      top = std::clamp(top + dy, 0.0, shape.height - h);
      scene.truth.push_back({f, person, left, top, w, h, 1.0, 1});
      Box hypothesis{f, trackerId, left + shape.offset, top + shape.offset, w, h, 1.0, 1};
      if (unit(random) < shape.noisy) {
        const double kind = unit(random);
        if (kind < 0.4) {
          hypothesis.left = std::fmod(left + shape.width / 2, shape.width - w);
        } else if (kind < 0.7) {
          hypothesis.id = trackerId = nextId++;
        } else {
          hypothesis.id = nextId++;
          hypothesis.left = (shape.width - w) * unit(random);
          hypothesis.top = (shape.height - h) * unit(random);
        }
      }
      scene.hypotheses.push_back(hypothesis);
    }
  }
  for (int f = 1; f <= shape.frames; ++f) {
    scene.truth.push_back({f, shape.people + 1, 40, 60, 50, 125, 1.0, 7});
    scene.truth.push_back({f, shape.people + 2, 300, 40, 200, 120, 0.0, 3});
    scene.hypotheses.push_back({f, 999, 40 + shape.offset, 60, 50, 125, 1.0, 1});
  }
  std::stable_sort(scene.truth.begin(), scene.truth.end(),
                   [](const Box& a, const Box& b) { return a.frame < b.frame; });
  std::stable_sort(scene.hypotheses.begin(), scene.hypotheses.end(),
                   [](const Box& a, const Box& b) { return a.frame < b.frame; });
  return scene;
}

// MOTChallenge text: truth rows "frame,id,left,top,width,height,conf,class,
// visibility", tracker rows "frame,id,left,top,width,height,conf,-1,-1,-1".
inline std::string MotText(const std::vector<Box>& boxes, bool truth) {
  std::string text;
  char row[160];
  for (const Box& b : boxes) {
    if (truth)
      std::snprintf(row, sizeof row, "%d,%d,%.2f,%.2f,%.2f,%.2f,%g,%d,1\n", b.frame, b.id, b.left,
                    b.top, b.width, b.height, b.conf, b.classId);
    else
      std::snprintf(row, sizeof row, "%d,%d,%.2f,%.2f,%.2f,%.2f,%g,-1,-1,-1\n", b.frame, b.id,
                    b.left, b.top, b.width, b.height, b.conf);
    text += row;
  }
  return text;
}

}  // namespace synthetic_mot
