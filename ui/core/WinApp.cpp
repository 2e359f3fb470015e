#include "ui/core/WinApp.h"

namespace ui {
namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() {
  g_currentApp = this;
}

CWinApp::~CWinApp() {
  if (g_currentApp == this)
    g_currentApp = nullptr;
}

CWinApp* AfxGetApp() {
  return g_currentApp;
}

int RunApplication(CWinApp& app) {
  // The result says whether to run the application's own message loop. The
  // dialogs run their own loops, so there is nothing left to run either way.
  app.InitInstance();
  return 0;
}

int RunApplication() {
  if (CWinApp* app = AfxGetApp())
    return RunApplication(*app);
  return 0;
}

}  // namespace ui
