#pragma once
// The application icon IDR_MAINFRAME: a 32 × 32 and a 16 × 16 image.

#include "ui/core/Icon.h"

namespace res {

// The icon resource with this id, or nullptr.
ui::HICON FindIcon(int id);

}  // namespace res
