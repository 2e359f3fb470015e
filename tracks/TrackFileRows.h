#pragma once
// The rows of a track file in the order the loader takes them: a target
// count N, a first frame F, then one "x y" row per target per frame, frame
// after frame. The loader and the companion's check of a track file both walk
// a file with this one reader, so what the check reports is what the loader
// reads.

#include <cstdio>

#include "tracks/IntegerReader.h"

struct TrackFileRow {
  int frame;
  int target;  // 0..N-1, also beyond the targets a track set keeps
  int x;
  int y;
};

enum class TrackRowsEnd {
  kNotEnded,
  kEndOfInput,  // the input ended (or failed) where a row or the header starts
  kNotANumber,  // an item that is not an integer; the reader stands on it
  kHalfRow,     // the input ended after the first number of a row
  kFrameLimit,  // the next row's frame is MAX_TRACK_FRAMES or later; not read
  kNoTargets,   // the count is 0 or less: there are no rows to read
};

class TrackFileRows {
 public:
  // Borrows the stream, which the caller keeps open while reading.
  explicit TrackFileRows(std::FILE* file) : m_reader(file) {}

  // Reads the count and the first frame. False when either is missing;
  // End() then says why.
  bool ReadHeader();
  int Count() const { return m_count; }
  int FirstFrame() const { return m_firstFrame; }

  // Reads the next row. False once the rows end; End() says why.
  bool Next(TrackFileRow& row);
  TrackRowsEnd End() const { return m_end; }

  // The frame at which the rows ended: that of the row which could not be
  // read, or the first frame not read at the frame limit. For a file of whole
  // frames, the frame after the last one it describes.
  int EndFrame() const;

  const IntegerReader& Reader() const { return m_reader; }

 private:
  IntegerReader m_reader;
  int m_count = 0;
  int m_firstFrame = 0;
  long long m_rows = 0;  // rows read; a file holds far fewer than this type counts
  TrackRowsEnd m_end = TrackRowsEnd::kNotEnded;
};
