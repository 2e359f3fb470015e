// The windowed program: real windows through the Qt backend. The command line
// is ignored.

#include "app/Korvane.h"
#include "ui/core/WinApp.h"
#include "ui/qt/QtBackend.h"

int main(int argc, char** argv) {
  ui::qt::QtBackend backend(argc, argv);
  return ui::RunApplication(theApp);
}
