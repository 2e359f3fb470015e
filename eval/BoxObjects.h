#pragma once
// Objects with an extent: a box per object and frame, as MOTChallenge files
// give them (left, top, width and height in pixels), and the box overlap the
// field scores them by.

#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "eval/FrameObjects.h"
#include "eval/FrameTable.h"

struct BoxObject {
  int id = 0;
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
};

using BoxRow = FrameRow<BoxObject>;
using BoxFrames = FrameTable<BoxObject>;

// The slack the benchmark's comparisons of similarities allow: a similarity
// reaches a threshold when it is at least the threshold less this, and a
// score counts as positive when it exceeds it.
inline constexpr double kSimilaritySlack = std::numeric_limits<double>::epsilon();

// The intersection over union of two boxes, 0 to 1. A box spans left to
// left + width and top to top + height (no extra pixel at the far edge);
// a box whose area is not above kSimilaritySlack overlaps nothing. The
// arithmetic is done in the order the benchmark's own evaluation does it, so
// that a value at a threshold falls on the same side.
double BoxIou(const BoxObject& a, const BoxObject& b);

// Finds the pairs of boxes of two sets (one frame's truth and hypotheses)
// that overlap, without trying every pair: the second set sorted by left
// edge, each box of the first meets only those whose left edge lies within
// its reach. Keeps its scratch between calls.
class OverlapFinder {
 public:
  // Calls found(i, j, iou) for every pair with IoU above 0, by i, then j.
  template <class Found>
  void Find(std::span<const BoxObject> a, std::span<const BoxObject> b, Found found) {
    m_order.resize(b.size());
    double widest = 0.0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      m_order[j] = static_cast<int>(j);
      widest = std::max(widest, b[j].width);
    }
    std::sort(m_order.begin(), m_order.end(), [&b](int x, int y) {
      return b[static_cast<std::size_t>(x)].left < b[static_cast<std::size_t>(y)].left;
    });
    for (std::size_t i = 0; i < a.size(); ++i) {
      // A box of b overlaps a[i] only if its left edge lies in
      // (a.left - widest, a.left + a.width); the slack of a pixel keeps the
      // bound from cutting a pair the rounding of the edges would keep.
      const double from = a[i].left - widest - 1.0;
      const double to = a[i].left + a[i].width + 1.0;
      auto it = std::lower_bound(m_order.begin(), m_order.end(), from, [&b](int j, double v) {
        return b[static_cast<std::size_t>(j)].left < v;
      });
      m_near.clear();
      for (; it != m_order.end() && b[static_cast<std::size_t>(*it)].left < to; ++it)
        m_near.push_back(*it);
      std::sort(m_near.begin(), m_near.end());
      for (const int j : m_near) {
        const double iou = BoxIou(a[i], b[static_cast<std::size_t>(j)]);
        if (iou > 0.0)
          found(i, static_cast<std::size_t>(j), iou);
      }
    }
  }

 private:
  std::vector<int> m_order;
  std::vector<int> m_near;
};

// The box's centre as a point object with its id.
FrameObject BoxCentre(const BoxObject& box);

// Every box's centre, frame by frame; frames as they stand.
FrameObjects BoxCentres(const BoxFrames& boxes);
