#pragma once
// A window's system menu: the standard entries and whatever the program
// appends. The backends show it; choosing an entry sends WM_SYSCOMMAND with the
// entry's id through the dialog's message map.

#include <string>
#include <vector>

#include "ui/core/WindowTypes.h"

namespace ui {

struct MenuItem {
  UINT flags = MF_STRING;
  UINT id = 0;
  std::string text;  // "&" marks the mnemonic
  bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
};

class Menu {
 public:
  // The standard system menu of a dialog with a modal frame.
  static Menu StandardSystemMenu();

  bool AppendMenu(UINT flags, UINT id = 0, const char* text = nullptr);
  const std::vector<MenuItem>& Items() const { return m_items; }
  const MenuItem* Find(UINT id) const;

 private:
  std::vector<MenuItem> m_items;
};

// The text of a menu entry without its mnemonic marks ("&About" → "About").
std::string StripMnemonic(const std::string& text);

}  // namespace ui
