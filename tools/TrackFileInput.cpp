#include "tools/TrackFileInput.h"

#include "scoring/TrackFileLayout.h"
#include "tracks/TrackFileRead.h"
#include "tracks/TrackSet.h"

namespace cli {

std::optional<std::string> LoadCommandTracks(const std::string& fileName, CTrackSet& tracks,
                                             std::string_view command, std::ostream& err) {
  std::string text;
  if (auto problem = ReadTrackFile(fileName, tracks, text))
    return problem;
  if (tracks.TracksInUse() == 0) {
    // A file of another layout reads as a set without targets: that is no
    // answer to give, so the command fails naming what the file looks like.
    if (const OtherLayout looks = OtherLayoutOf(text); looks != OtherLayout::kNone)
      return NotATrackFile(fileName, looks,
                           command == "evaluate"
                               ? "give --truth-format mot, or convert it with mot2tracks"
                               : "convert it with mot2tracks");
    err << "korvane-cli " << command << ": warning: " << fileName
        << ": no targets (the file does not begin with a target count above 0 and a first "
           "frame)\n";
  }
  return std::nullopt;
}

}  // namespace cli
