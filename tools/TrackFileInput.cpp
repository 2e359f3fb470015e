#include "tools/TrackFileInput.h"

#include "base/InputFile.h"
#include "base/Trace.h"
#include "tracks/TrackSet.h"

namespace cli {

std::optional<std::string> LoadCommandTracks(const std::string& fileName, CTrackSet& tracks,
                                             std::string_view command, std::ostream& err) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(fileName, base::kMaxTextFileBytes, text))
    return fileName + ": " + fault->Describe();
  const base::StreamPtr stream = base::OpenTextStream(text);
  const base::ScopedTraceSink quiet([](std::string_view) {});
  if (!stream || !tracks.LoadTrueTracksFromStream(stream.get()))
    return fileName + ": cannot be read as a track file";
  if (tracks.TracksInUse() == 0) {
    err << "korvane-cli " << command << ": warning: " << fileName
        << ": no targets (the file does not begin with a target count above 0 and a first "
           "frame)\n";
  }
  return std::nullopt;
}

}  // namespace cli
