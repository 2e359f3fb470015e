#pragma once
// Running the program's console for a command: each command is one run of
// the program, so it starts from the state the program starts in, and the
// console is the main window while it runs, as at start-up.

#include <cstdint>
#include <optional>
#include <string>

#include "console/KorvaneDlg.h"
#include "ui/headless/HeadlessBackend.h"

namespace cli {

// Puts the recorder's counter and stop flag and the track set back to their
// start-up values. The globals live as long as the process; a test that runs
// several commands in one process gets the same result from each.
void ResetProgramState();

// Sets the root path the recorder writes under. False, changing nothing, when
// root does not fit the root path buffer.
bool SetRecordRoot(const std::string& root);

// Runs the console modally as the main window, driven by the steps queued on
// the current headless backend, and puts the previous main window back
// afterwards.
void RunConsole(CKorvaneDlg& console);

// What went wrong with the script, if anything: a step that found no control
// to act on, or a dialog left open when the script ran out.
std::optional<std::string> ScriptProblem(const ui::headless::HeadlessBackend& user);

}  // namespace cli
