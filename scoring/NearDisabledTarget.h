#pragma once
// The evaluation's ignore test for a track file's truth.

#include "eval/Evaluation.h"

class CTrackSet;

// A hypothesis left unmatched that the track set's NearDisabledTarget puts
// strictly closer than threshold to a disabled target (its position rounded
// to whole pixels) is not held against the tracker. truth must outlive the
// test.
IgnoreTest NearDisabledTargetTest(const CTrackSet& truth, double threshold);
