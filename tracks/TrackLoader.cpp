// Reading the ground-truth track file into a track set.

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "tracks/TrackFileRows.h"
#include "tracks/TrackSet.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

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
  return LoadTrueTracksFromStream(file.get());
}

bool CTrackSet::LoadTrueTracksFromStream(std::FILE* file) {
  TrackFileRows rows(file);
  if (!rows.ReadHeader() && std::ferror(file)) {
    // Opened but unreadable (a folder, for one): like a file that cannot be
    // opened, it leaves the set as it was. A read error later on ends the
    // file where it happens.
    return false;
  }
  if (rows.End() != TrackRowsEnd::kNotEnded) {
    // An incomplete header, or a count of 0 or less: no targets.
    m_count = 0;
    return true;
  }
  m_count = std::min(rows.Count(), MAX_TRACKS);

  for (int i = 0; i < m_count; ++i) {
    std::fill_n(m_tracks[i].m_x.get(), MAX_TRACK_FRAMES, 0);
    std::fill_n(m_tracks[i].m_y.get(), MAX_TRACK_FRAMES, 0);
  }

  // Rows before frame 0 and rows of targets beyond the table are read only
  // to keep the following rows aligned with their frames. Reading stops at
  // the file's end or once the frame number reaches MAX_TRACK_FRAMES, and the
  // trails still open end at that frame: for a file of whole frames, the
  // frame after the last one it describes.
  TrackFileRow row{};
  while (rows.Next(row)) {
    if (row.frame >= 0 && row.target < m_count) {
      ApplyRow(row.target, row.x, row.y, row.frame);
    }
  }
  EndOpenTracks(rows.EndFrame());
  return true;
}
