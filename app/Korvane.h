#pragma once
// The application object: starts the console as the main window and ends the
// program when the console closes.

#include "ui/core/Application.h"

class CKorvaneApp : public ui::Application {
 public:
  CKorvaneApp() = default;
  ~CKorvaneApp() override = default;

  // Runs the console modally and returns false: there is no message loop of
  // the application's own.
  bool InitInstance() override;
  ui::HICON LoadIcon(int id) const override;
};

extern CKorvaneApp theApp;
