#include "ui/core/Menu.h"

namespace ui {

Menu Menu::StandardSystemMenu() {
  Menu menu;
  menu.AppendMenu(MF_STRING | MF_GRAYED, SC_RESTORE, "&Restore");
  menu.AppendMenu(MF_STRING, SC_MOVE, "&Move");
  menu.AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  return menu;
}

bool Menu::AppendMenu(UINT flags, UINT id, const char* text) {
  MenuItem item;
  item.flags = flags;
  item.id = (flags & MF_SEPARATOR) != 0 ? 0 : id;
  if (text != nullptr && (flags & MF_SEPARATOR) == 0)
    item.text = text;
  m_items.push_back(std::move(item));
  return true;
}

const MenuItem* Menu::Find(UINT id) const {
  for (const MenuItem& item : m_items) {
    if (!item.IsSeparator() && item.id == id)
      return &item;
  }
  return nullptr;
}

std::string StripMnemonic(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        plain += '&';
        ++i;
      }
      continue;
    }
    plain += text[i];
  }
  return plain;
}

}  // namespace ui
