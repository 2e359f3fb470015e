#pragma once
// The program's one track set and the name of the file it is loaded from,
// both defined with the program's other globals (app/Globals.cpp).

#include <string>

#include "tracks/TrackSet.h"

// The track file's name, looked up in the current folder.
extern const std::string g_trueTracksPath;

// The ground-truth tracks, drawn by the player and loaded at each READ.
extern CTrackSet g_trueTracks;
