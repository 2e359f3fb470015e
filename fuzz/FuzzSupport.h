#pragma once
// What the fuzz targets share: a trap for broken promises, the writing of an
// input into a scratch file, the scratch folder itself, a stream over an
// input held in memory, and a track set made ready for the next input.
// Header-only: each fuzz/<name>.cpp is a target of its own and includes this
// once.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/BinaryFile.h"
#include "base/TempFolder.h"
#include "tracks/TrackSet.h"

namespace fuzz {

// Traps, so the fuzzer keeps the input, when a promise of the code under test
// does not hold.
inline void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// This process's scratch folder, made on first use and removed, with every
// input file written into it, when the fuzzer exits.
inline const base::TempFolder& ScratchFolder() {
  static const base::TempFolder folder("korvane-fuzz", base::TempFolder::Need::Required);
  return folder;
}

// Writes a fresh file rather than truncating the old one: on a disk file
// system a truncated and rewritten file is flushed when it is closed.
inline void WriteFreshFile(const std::string& path, const void* data, std::size_t size) {
  std::remove(path.c_str());
  base::BinaryFile file;
  Check(file.Open(path.c_str(), base::BinaryFile::Mode::CreateTruncate));
  file.Write(data, size);
}

// Puts back what a load keeps from earlier loads: the count and every
// track's first frame, end frame, difference and enabled flag. Positions are
// left: a load clears those of the targets it puts in use, and a reader of
// the set in use reads no others. Reset() also clears the positions of all
// fifty tracks, at a cost above that of most code a fuzzer runs on them.
inline void ForgetEarlierLoads(CTrackSet& tracks) {
  tracks.m_count = 0;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    CTrack& track = tracks.m_tracks[i];
    track.m_firstFrame = 0;
    track.m_endFrame = 0;
    track.m_frameDiff = 0;
    track.m_enabled = 1;
  }
}

// A read-only stream over the input, for code that reads an open file: the
// same bytes as a file holding the input, without a file system call.
class InputStream {
 public:
  InputStream(const std::uint8_t* data, std::size_t size)
      // A stream opened for reading never writes to its buffer.
      : m_file(::fmemopen(const_cast<std::uint8_t*>(size > 0 ? data : &m_empty), size, "r")) {
    Check(m_file != nullptr);
  }
  ~InputStream() { std::fclose(m_file); }
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  std::FILE* Get() const { return m_file; }

 private:
  std::uint8_t m_empty = 0;  // a buffer for an empty input, whose data may be null
  std::FILE* m_file;
};

}  // namespace fuzz
