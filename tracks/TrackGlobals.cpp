#include "tracks/TrackGlobals.h"

// The globals themselves are defined with the program's other two in one
// file (app/Globals.cpp), which fixes their order. Loading from the global
// track file name lives apart from the loader, so a program that only loads
// named files does not need the globals.
bool CTrackSet::LoadTrueTracks() {
  return LoadTrueTracksFrom(g_trueTracksPath.c_str());
}
