#pragma once
// How korvane-cli score shows the track statistics of a track set against a
// measured path: a row per track with the mean and the population variance
// of the squared distances over the frames, then the best match. The table
// gives three decimals and names the best track; CSV gives the numbers
// exactly, a disabled track's fields empty.

#include <ostream>

class CTrackSet;
struct MeasuredPath;

void PrintTrackScores(const CTrackSet& tracks, const MeasuredPath& path, int from, int to, bool csv,
                      std::ostream& out);
