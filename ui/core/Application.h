#pragma once
// The application object: one per program, constructed as a global. The
// program's main routine calls RunApplication, which initialises the instance
// and, when that returns false, ends without a message loop of its own.

#include "ui/core/Icon.h"

namespace ui {

class ModalDialog;

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  virtual bool InitInstance() { return false; }
  // The icon resource with this id, or nullptr.
  virtual HICON LoadIcon(int id) const = 0;

  // The main window; meaningful only while it runs.
  ModalDialog* m_mainWindow = nullptr;

  // Hosting of embedded controls and the three-dimensional look: this
  // platform has nothing to switch on, so both succeed and change nothing.
  void EnableControlContainer() {}
  bool EnableThreeDimensionalLook() { return true; }
};

// The application object, or nullptr before it is constructed / after it is gone.
Application* CurrentApp();

// Runs the application's instance initialisation; returns the process's exit
// status (0). The program names its application object here, which also keeps
// the linker from leaving it out.
int RunApplication(Application& app);
// The same for the current application object, if there is one.
int RunApplication();

}  // namespace ui
