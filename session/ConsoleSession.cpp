#include "session/ConsoleSession.h"

#include <cstdio>

#include "app/Korvane.h"
#include "tracks/TrackGlobals.h"

namespace cli {

void ResetProgramState() {
  g_recordedFrames = 0;
  g_stopRecording = 0;
  g_trueTracks.Reset();
}

bool SetRecordRoot(const std::string& root) {
  if (root.size() >= sizeof g_rootPath)
    return false;
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", root.c_str());
  return true;
}

void RunConsole(CKorvaneDlg& console) {
  ui::ModalDialog* const previous = theApp.m_mainWindow;
  theApp.m_mainWindow = &console;
  console.RunModal();
  theApp.m_mainWindow = previous;
}

std::optional<std::string> ScriptProblem(const ui::headless::HeadlessBackend& user) {
  if (!user.ScriptErrors().empty())
    return "internal error: " + user.ScriptErrors().front();
  if (user.ScriptExhausted())
    return "internal error: a dialog was still open at the end of the run";
  return std::nullopt;
}

}  // namespace cli
