#pragma once
// The CLEAR MOT metrics (Bernardin and Stiefelhagen 2008) under the
// conventions of the MOTChallenge benchmark's evaluation, on a scored
// sequence. A pair may match when its similarity is at least the threshold
// less kSimilaritySlack. Frame after frame:
//  - a frame without truth objects counts its hypotheses as false positives
//    and a frame without hypotheses its truth objects as misses; neither
//    changes anything else, so such a frame breaks no track;
//  - otherwise the pairs are matched one to one for the greatest total of
//    1000 for a pair that was matched in the previous frame of this kind
//    plus the pair's similarity (keeping a track weighs more than any gain
//    in overlap), and a pair counts as matched when that total is above
//    kSimilaritySlack.
// A truth object matched to another hypothesis than the one it was last
// matched to, in any earlier frame, is an identity switch. A fragmentation
// is a track that starts again: a match of a truth object that was not
// matched in the previous frame of this kind, after its first such start
// (so a frame of this kind in which it is absent or missed ends its track).
// Mostly tracked: matched in more than 80 % of the frames it is present in;
// mostly lost: in less than 20 %; partly tracked: the others.

#include <cstddef>
#include <functional>
#include <span>

#include "eval/ScoredSequence.h"

struct ClearCounts {
  long long gt = 0;          // truth objects
  long long hypotheses = 0;  // hypotheses
  long long tp = 0;          // matches
  long long fn = 0;
  long long fp = 0;
  long long idsw = 0;
  long long frag = 0;
  long long mt = 0;
  long long pt = 0;
  long long ml = 0;
  double similaritySum = 0.0;  // over the matches: IoU for boxes
};

// What the matching made of one frame of the sequence, for those who show
// it: for each truth object of the frame, the index in the frame of the
// hypothesis it was matched to (-1 when it is missed), and, when that match
// is an identity switch, the id index of the hypothesis it was matched to
// before (-1 otherwise). The hypotheses matched to none are the frame's
// false positives.
struct ClearFrameVerdict {
  std::size_t frameIndex = 0;  // in the sequence's frames
  std::span<const int> hypothesisOf;
  std::span<const int> switchedFrom;
};
using ClearObserver = std::function<void(const ClearFrameVerdict&)>;

// `observer`, when given, sees every frame's verdict as it is counted.
ClearCounts BenchmarkClear(const ScoredSequence& sequence, double threshold,
                           const ClearObserver& observer = {});

// The identity metrics (Ristani et al. 2016) under the benchmark's
// conventions: a pair is within reach in a frame when its similarity is at
// least the threshold (no slack); the one-to-one pairing of truth and
// hypothesis ids with the most frames within reach gives IDTP.
struct IdentityCounts {
  long long idtp = 0;
  long long idfn = 0;
  long long idfp = 0;
};

IdentityCounts BenchmarkIdentity(const ScoredSequence& sequence, double threshold);
