// Checks a screenshot of the real program after it has played a series with
// both overlays: the last frame must be drawn 1:1 at the given screen position,
// with a red marker at every enabled target's position in that frame and green
// trail squares along every enabled target's trail, as the track file says.
//
// usage: acceptance_check SCREEN.ppm PLAYER_X PLAYER_Y ROOT LAST_FRAME TRACKS
// where PLAYER_X, PLAYER_Y is the screen position of the player's client area
// (the window has no frame on a display without a window manager).
// Exit status 0 when everything matches; otherwise 1 with the reasons.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "base/Trace.h"
#include "image/BmpFile.h"
#include "player/TrackOverlays.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "tracks/TrackSet.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Screen {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  const std::uint8_t* At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
      return nullptr;
    return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
  }
};

// The next header number of a binary PPM, skipping white space and comments.
bool ReadPpmNumber(std::istream& in, int& value) {
  while (in) {
    const int c = in.peek();
    if (c == '#') {
      std::string comment;
      std::getline(in, comment);
    } else if (std::isspace(c)) {
      in.get();
    } else {
      break;
    }
  }
  return static_cast<bool>(in >> value);
}

bool ReadPpm(const char* path, Screen& screen) {
  std::ifstream in(path, std::ios::binary);
  char magic[2] = {};
  int maxValue = 0;
  if (!in.read(magic, 2) || magic[0] != 'P' || magic[1] != '6')
    return false;
  if (!ReadPpmNumber(in, screen.width) || !ReadPpmNumber(in, screen.height) ||
      !ReadPpmNumber(in, maxValue)) {
    return false;
  }
  in.get();
  if (maxValue != 255 || screen.width <= 0 || screen.height <= 0 || screen.width > 16384 ||
      screen.height > 16384) {
    return false;
  }
  screen.rgb.resize(static_cast<std::size_t>(screen.width) * screen.height * 3);
  in.read(reinterpret_cast<char*>(screen.rgb.data()),
          static_cast<std::streamsize>(screen.rgb.size()));
  return static_cast<bool>(in);
}

int g_failures = 0;

void Fail(const std::string& what) {
  if (++g_failures <= 20)
    std::cerr << "acceptance: " << what << "\n";
}

bool IsColour(const std::uint8_t* p, int r, int g, int b) {
  return p != nullptr && p[0] == r && p[1] == g && p[2] == b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::cerr << "usage: acceptance_check SCREEN.ppm PLAYER_X PLAYER_Y ROOT LAST_FRAME TRACKS\n";
    return 2;
  }
  Screen screen;
  if (!ReadPpm(argv[1], screen)) {
    std::cerr << "acceptance: cannot read screenshot " << argv[1] << "\n";
    return 1;
  }
  // The frame is drawn at the top-left corner of the picture control, which
  // sits where the player's template puts it (at 96 dpi).
  const ui::ControlTemplate* picture = res::FileReadTemplate().Find(res::IDC_PICTURE);
  const ui::DialogUnits units;
  const int originX = std::stoi(argv[2]) + units.ToPixelsX(picture->x);
  const int originY = std::stoi(argv[3]) + units.ToPixelsY(picture->y);
  const std::string root = argv[4];
  const int lastFrame = std::stoi(argv[5]);

  // The loader's own trace lines are the program's business, not this check's.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  CTrackSet tracks;
  if (!tracks.LoadTrueTracksFrom(argv[6]) || tracks.TracksInUse() == 0) {
    std::cerr << "acceptance: no tracks in " << argv[6] << "\n";
    return 1;
  }

  // Independent of the overlay code: where the track file puts each target,
  // the screen must show the marker's red and the trail's green.
  int markers = 0;
  int trailSquares = 0;
  for (int i = 0; i < tracks.TracksInUse(); ++i) {
    const CTrack& t = tracks.m_tracks[i];
    if (t.m_enabled != 1)
      continue;
    const int x = t.m_x[lastFrame];
    const int y = t.m_y[lastFrame];
    if ((x != 0 || y != 0) && x >= 0 && x + 10 <= kWidth && y >= 9 && y < kHeight) {
      ++markers;
      for (int dy = 0; dy < 10; ++dy) {
        for (int dx = 0; dx < 10; ++dx) {
          if (!IsColour(screen.At(originX + x + dx, originY + y - dy), 255, 0, 0)) {
            Fail("target " + std::to_string(i) + ": no red marker pixel at picture (" +
                 std::to_string(x + dx) + ", " + std::to_string(y - dy) + ")");
          }
        }
      }
    }
    for (int j = t.m_firstFrame; j < t.m_endFrame && j < 500; ++j) {
      const int tx = t.m_x[j];
      const int ty = t.m_y[j];
      if ((tx == 0 && ty == 0) || tx < 0 || tx + 3 > kWidth || ty < 2 || ty >= kHeight)
        continue;
      // Squares under a marker are covered by its red.
      bool underMarker = false;
      for (int k = 0; k < tracks.TracksInUse(); ++k) {
        const CTrack& m = tracks.m_tracks[k];
        if (m.m_enabled != 1)
          continue;
        const int mx = m.m_x[lastFrame];
        const int my = m.m_y[lastFrame];
        if (tx + 2 >= mx && tx <= mx + 9 && ty - 2 <= my && ty >= my - 9)
          underMarker = true;
      }
      if (underMarker)
        continue;
      ++trailSquares;
      if (!IsColour(screen.At(originX + tx + 1, originY + ty - 1), 0, 255, 0)) {
        Fail("target " + std::to_string(i) + ": no green trail at picture (" +
             std::to_string(tx + 1) + ", " + std::to_string(ty - 1) + ") of frame " +
             std::to_string(j));
      }
    }
  }
  if (markers == 0 || trailSquares == 0) {
    Fail("the track file gives nothing to look for in frame " + std::to_string(lastFrame));
  }

  // The whole picture: the last frame file with both overlays, drawn 1:1 with
  // its bottom row lowest.
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(kWidth) * kHeight * 3);
  char name[600];
  std::snprintf(name, sizeof name, "%s_%04d.bmp", root.c_str(), lastFrame);
  int width = 0;
  int height = 0;
  ReadBmpFile(name, frame, width, height);
  if (width != kWidth || height != kHeight) {
    Fail(std::string("cannot read ") + name);
  } else {
    DrawTrails(frame, kWidth, tracks);
    DrawMarkers(frame, kWidth, lastFrame, tracks);
    int wrong = 0;
    for (int row = 0; row < kHeight; ++row) {
      for (int column = 0; column < kWidth; ++column) {
        const std::uint8_t* bgr = frame.data() + ((kHeight - 1 - row) * kWidth + column) * 3;
        if (!IsColour(screen.At(originX + column, originY + row), bgr[2], bgr[1], bgr[0]))
          ++wrong;
      }
    }
    if (wrong != 0)
      Fail(std::to_string(wrong) + " picture pixels differ from the expected frame");
  }

  if (g_failures != 0) {
    std::cerr << "acceptance: " << g_failures << " problem(s)\n";
    return 1;
  }
  std::cout << "acceptance: frame " << lastFrame << " shown 1:1 with " << markers << " markers and "
            << trailSquares << " trail squares where the track file says\n";
  return 0;
}
