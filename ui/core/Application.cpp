#include "ui/core/Application.h"

namespace ui {
namespace {
Application* g_currentApp = nullptr;
}

Application::Application() {
  g_currentApp = this;
}

Application::~Application() {
  if (g_currentApp == this)
    g_currentApp = nullptr;
}

Application* CurrentApp() {
  return g_currentApp;
}

int RunApplication(Application& app) {
  // The result says whether to run the application's own message loop. The
  // dialogs run their own loops, so there is nothing left to run either way.
  app.InitInstance();
  return 0;
}

int RunApplication() {
  if (Application* app = CurrentApp())
    return RunApplication(*app);
  return 0;
}

}  // namespace ui
