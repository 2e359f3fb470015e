#pragma once
// The objects of a sequence, frame by frame: the true targets or a tracker's
// hypotheses, each an id and a picture position (x from the left, y from the
// top, in pixels) at a frame number 0 to MAX_TRACK_FRAMES - 1.

#include <array>
#include <span>
#include <vector>

#include "tracks/Track.h"

class CTrackSet;

struct FrameObject {
  int id = 0;
  double x = 0.0;
  double y = 0.0;
};

struct ObjectRow {
  int frame = 0;
  FrameObject object;
};

// All objects, ordered by frame and, within a frame, by id; each id at most
// once per frame.
class FrameObjects {
 public:
  FrameObjects() = default;
  // Takes rows in any order. Rows whose frame is outside the track frames
  // are dropped; of two rows with one id in one frame the first is kept (the
  // readers refuse such input before it gets here).
  explicit FrameObjects(std::vector<ObjectRow> rows);

  std::span<const FrameObject> InFrame(int frame) const;
  // Every object of every frame, in frame order.
  std::span<const FrameObject> All() const { return m_objects; }

 private:
  std::vector<FrameObject> m_objects;
  // Objects of frame f are m_objects[m_start[f]] .. m_objects[m_start[f + 1] - 1].
  std::array<int, MAX_TRACK_FRAMES + 1> m_start{};
};

// The targets of a track set as objects: at every frame, each enabled target
// in use whose position there is not (0, 0), with the target's index as id.
FrameObjects ObjectsFromTracks(const CTrackSet& tracks);
