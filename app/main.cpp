// The windowed program: real windows through the Qt backend. The command line
// is ignored: not even the toolkit sees the arguments, so starting the program
// with any of them behaves exactly as starting it without.

#include "app/Korvane.h"
#include "ui/core/Application.h"
#include "ui/qt/QtBackend.h"

int main(int argc, char** argv) {
  int toolkitArgc = argc > 0 ? 1 : 0;
  char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
  ui::qt::QtBackend backend(toolkitArgc, toolkitArgv);
  return ui::RunApplication(theApp);
}
