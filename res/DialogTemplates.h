#pragma once
// The dialog templates of the About box, the console and the player.

#include "ui/core/DialogTemplate.h"

namespace res {

const ui::DialogTemplate& AboutBoxTemplate();  // IDD_ABOUTBOX
const ui::DialogTemplate& ConsoleTemplate();   // IDD_KORVANE_DIALOG
const ui::DialogTemplate& FileReadTemplate();  // IDD_FILEREAD

}  // namespace res
