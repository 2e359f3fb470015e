#include "tracks/TrackGlobals.h"

#include "app/GlobalOrder.h"

// Both objects are built during static initialisation in the program's fixed
// global order: the path first of all four globals, the track set last, so
// they are destroyed in the reverse order at exit.
const std::string g_trueTracksPath __attribute__((init_priority(order::kTrueTracksPath))) =
    "truetracks.txt";

CTrackSet g_trueTracks __attribute__((init_priority(order::kTrueTracks)));
