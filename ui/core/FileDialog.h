#pragma once
// The open-file dialog: run modally, then ask for the full path chosen.

#include <string>

#include "ui/core/WindowTypes.h"

namespace ui {

class ModalDialog;

class OpenFileDialog {
 public:
  // Arguments as the program gives them: open (not save), no default
  // extension, no initial name, the flags, no filter, no explicit owner.
  OpenFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName,
                 UINT flags, const char* filter, ModalDialog* owner);

  // IDOK when the user confirmed a name, IDCANCEL otherwise.
  int RunModal();
  // The confirmed full path: folders, name and extension as chosen.
  const std::string& GetPathName() const { return m_path; }

 private:
  UINT m_flags;
  ModalDialog* m_owner;
  std::string m_path;
};

}  // namespace ui
