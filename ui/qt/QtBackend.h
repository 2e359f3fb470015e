#pragma once
// The Qt 6 Widgets backend: real windows, the real file dialog and real message
// boxes. The program's main routine constructs one before anything opens a
// window:
//
//   ui::qt::QtBackend backend(argc, argv);
//   return ui::RunApplication(theApp);
//
// No Qt type appears here, so application code never depends on Qt.

#include <memory>

#include "ui/core/Backend.h"

namespace ui::qt {

class QtBackend final : public Backend {
 public:
  // Starts the Qt application (argc and argv must outlive the backend, as
  // main's do) and installs itself as the current backend; the destructor
  // uninstalls it.
  QtBackend(int& argc, char** argv);
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  std::unique_ptr<NativeDialog> CreateDialogWindow(ModalDialog& dialog,
                                                   NativeDialog* owner) override;
  int MessageBox(NativeDialog* owner, std::string_view text, std::string_view caption,
                 UINT style) override;
  std::optional<std::string> GetOpenFileName(NativeDialog* owner, UINT flags) override;
  int GetSystemMetrics(int index) const override;

 private:
  struct Toolkit;
  std::unique_ptr<Toolkit> m_application;
};

}  // namespace ui::qt
