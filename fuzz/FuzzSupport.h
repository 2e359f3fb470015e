#pragma once
// What the fuzz targets share: a trap for broken promises, the scratch
// folder and a file in it for the inputs, a stream over an input held in
// memory, and a track set made ready for the next input. Header-only: each
// fuzz/<name>.cpp is a target of its own and includes this once.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

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

// A file in the scratch folder for the inputs, kept open and rewritten in
// place for each: two system calls rather than the five of a fresh file.
// Truncating and rewriting costs no flush on a disk file system as long as
// the writer never closes the file, and the readers under test only read.
class ScratchFile {
 public:
  explicit ScratchFile(std::string_view name)
      : m_path(ScratchFolder().File(name)),
        m_fd(::open(m_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
    Check(m_fd >= 0);
  }
  ~ScratchFile() { ::close(m_fd); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return m_path; }

  void Write(const void* data, std::size_t size) {
    Check(::ftruncate(m_fd, 0) == 0);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t put = ::pwrite(m_fd, bytes + done, size - done, static_cast<off_t>(done));
      Check(put > 0);
      done += static_cast<std::size_t>(put);
    }
  }

 private:
  std::string m_path;
  int m_fd;
};

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
    // The stream's buffer is the object's own, not one allocated at the
    // first read: a fresh allocation per input costs page faults.
    Check(std::setvbuf(m_file, m_buffer, _IOFBF, sizeof m_buffer) == 0);
  }
  ~InputStream() { std::fclose(m_file); }
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  std::FILE* Get() const { return m_file; }

 private:
  std::uint8_t m_empty = 0;  // a buffer for an empty input, whose data may be null
  char m_buffer[BUFSIZ];
  std::FILE* m_file;
};

}  // namespace fuzz
