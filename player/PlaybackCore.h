#pragma once
// The playback core: everything one playback tick does to one frame file,
// without any window. Given the root path and a frame number it forms the
// file's name, opens the file, reads its two headers and its pixels into the
// frame buffer, and paints the trails and markers asked for. The player's
// timer tick and the companion's render both play frames through it, so the
// rules of a tick live in one place.

#include <cstdint>
#include <span>
#include <string_view>

class CTrackSet;

class TrailLayer;

// The overlays to paint after the pixels are read: trails ("Show Track"),
// then markers ("Use TrueTracks") on top. A caller that plays many frames of
// one unchanging track set may hand over its trails painted once; they are
// applied in place of painting every square again, with the same result.
struct OverlaySwitches {
  bool trails = false;
  bool markers = false;
  const TrailLayer* paintedTrails = nullptr;
};

// What happened to the frame.
enum class FrameOutcome {
  Shown,        // read (a short pixel block included) and painted
  Missing,      // the file cannot be opened: playback ends there
  Unreadable,   // short headers or no "BM" signature: try the same file again
  NameTooLong,  // the name does not fit the name buffer: treated as missing
};

struct FrameResult {
  FrameOutcome outcome;
  // For Missing: the system's reason the open failed (an errno value).
  int error = 0;
};

// Plays frame `frame` of the series `root` into `pixels`, a frame buffer of
// rows `width` pixels wide (bottom-up, blue-green-red). The name is formed in
// `fileName` ("%s_%04d.bmp", zero-terminated); a name that does not fit
// leaves it empty. For every file opened the debug trace gets "filename: %s".
//
// The pixels are read straight on from byte 54, as many as the buffer holds;
// a short block replaces only the start of the buffer (the bottom rows) and
// the rest keeps what it held. Nothing is painted or changed in the buffer
// unless the outcome is Shown. A failure of the file layer while reading
// (base::FileException) passes through with the file closed.
FrameResult PlayFrame(std::span<char> fileName, std::string_view root, int frame,
                      std::span<std::uint8_t> pixels, int width, const CTrackSet& tracks,
                      OverlaySwitches overlays);
