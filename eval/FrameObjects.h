#pragma once
// The objects of a sequence, frame by frame: the true targets or a tracker's
// hypotheses, each an id and a picture position (x from the left, y from the
// top, in pixels). The track file's objects stand at frame numbers 0 to
// MAX_TRACK_FRAMES - 1; objects read from other files may stand at any
// frame number.

#include <span>
#include <vector>

#include "eval/FrameTable.h"
#include "tracks/Track.h"

class CTrackSet;

struct FrameObject {
  int id = 0;
  double x = 0.0;
  double y = 0.0;
};

using ObjectRow = FrameRow<FrameObject>;

// All objects, ordered by frame and, within a frame, by id; each id at most
// once per frame.
class FrameObjects {
 public:
  // Which frame numbers the objects may take: the track file's, or any.
  enum class Frames { kTrackFrames, kAny };

  FrameObjects() = default;
  // Takes rows in any order. With kTrackFrames, rows whose frame is outside
  // the track frames are dropped; of two rows with one id in one frame the
  // first is kept (the readers refuse such input before it gets here).
  explicit FrameObjects(std::vector<ObjectRow> rows, Frames frames = Frames::kTrackFrames);

  std::span<const FrameObject> InFrame(int frame) const { return m_table.InFrame(frame); }
  // The frames that hold at least one object, in increasing order.
  std::span<const int> OccupiedFrames() const { return m_table.Frames(); }
  // The objects of OccupiedFrames()[index].
  std::span<const FrameObject> AtIndex(std::size_t index) const { return m_table.At(index); }
  // Every object of every frame, in frame order.
  std::span<const FrameObject> All() const { return m_table.All(); }
  const FrameTable<FrameObject>& Table() const { return m_table; }

 private:
  FrameTable<FrameObject> m_table;
};

// The targets of a track set as objects: at every frame, each enabled target
// in use whose position there is not (0, 0), with the target's index as id.
FrameObjects ObjectsFromTracks(const CTrackSet& tracks);
