// The program's four global objects. They are defined here, in one file, in
// the order the program needs them: the language constructs the objects of
// one file in the order of their definitions and destroys them in the
// reverse order at exit, whether the process ends through Quit (exit) or
// through the end of start-up.
//   1. the track file's name, which nothing needs before it is read;
//   2. the application object, which registers itself as the current one;
//   3. the one player, constructed with no parent;
//   4. the one track set, its 50 tracks allocated once.

#include "app/Korvane.h"
#include "player/FileRead.h"
#include "tracks/TrackGlobals.h"

const std::string g_trueTracksPath = "truetracks.txt";
CKorvaneApp theApp;
CFileRead g_fileReadDlg;
CTrackSet g_trueTracks;
