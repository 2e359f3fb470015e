#include "tracks/TrackFileRead.h"

#include "base/InputFile.h"
#include "base/Trace.h"
#include "tracks/TrackSet.h"

std::optional<std::string> ReadTrackFile(const std::string& fileName, CTrackSet& tracks,
                                         std::string& text) {
  if (const auto fault = base::ReadWholeFile(fileName, base::kMaxTextFileBytes, text))
    return fileName + ": " + fault->Describe();
  const base::StreamPtr stream = base::OpenTextStream(text);
  const base::ScopedTraceSink quiet([](std::string_view) {});
  if (!stream || !tracks.LoadTrueTracksFromStream(stream.get()))
    return fileName + ": cannot be read as a track file";
  return std::nullopt;
}
