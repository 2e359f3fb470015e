// Reading the ground-truth track file into a track set.

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "tracks/IntegerReader.h"
#include "tracks/TrackSet.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads one "x y" row. Anything short of two numbers (the end of the file, a
// token that is not a number, a last row with a single number) ends the
// file; a half row is dropped.
bool ReadRow(IntegerReader& reader, int& x, int& y) {
  return reader.Read(x) == ReadResult::kNumber && reader.Read(y) == ReadResult::kNumber;
}

}  // namespace

bool CTrackSet::LoadTrueTracksFrom(const char* path) {
  if (path == nullptr) {
    return false;
  }
  // Only a regular file is a track file: opening a pipe would wait for a
  // writer that may never come, and a folder reads as an error.
  struct stat info {};
  if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  const FilePtr file(std::fopen(path, "r"));
  if (!file) {
    return false;
  }
  IntegerReader reader(file.get());

  int count = 0;
  int firstFrame = 0;
  const bool headerRead =
      reader.Read(count) == ReadResult::kNumber && reader.Read(firstFrame) == ReadResult::kNumber;
  if (!headerRead && std::ferror(file.get())) {
    // Opened but unreadable (a folder, for one): like a file that cannot be
    // opened, it leaves the set as it was. A read error later on ends the
    // file where it happens.
    return false;
  }
  if (!headerRead || count <= 0) {
    m_count = 0;
    return true;
  }
  m_count = std::min(count, MAX_TRACKS);

  for (int i = 0; i < m_count; ++i) {
    std::fill_n(m_tracks[i].m_x.get(), MAX_TRACK_FRAMES, 0);
    std::fill_n(m_tracks[i].m_y.get(), MAX_TRACK_FRAMES, 0);
  }

  // Each pass reads one frame's rows, one per target. The file's end is met
  // inside a pass, and the trails still open end at that pass's frame: for a
  // file of whole frames, the frame after the last one it describes.
  int frame = firstFrame;
  bool fileEnded = false;
  while (!fileEnded) {
    if (frame >= MAX_TRACK_FRAMES) {
      // Nothing past the last frame of the arrays is read or stored.
      break;
    }
    for (int i = 0; i < count; ++i) {
      int x = 0;
      int y = 0;
      if (!ReadRow(reader, x, y)) {
        fileEnded = true;
        break;
      }
      // Rows before frame 0 and rows of targets beyond the table are read
      // only to keep the following rows aligned with their frames.
      if (frame >= 0 && i < m_count) {
        ApplyRow(i, x, y, frame);
      }
    }
    if (!fileEnded) {
      ++frame;
    }
  }
  EndOpenTracks(frame);
  return true;
}
