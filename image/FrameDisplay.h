#pragma once
// Frame display: a frame buffer (bottom-up rows of blue-green-red pixels)
// drawn 1:1 at the top-left corner of the player's picture control.

#include "ui/core/DeviceContext.h"

// Draws the frame into the picture control of the one player. Does nothing
// while the player has no window.
void ShowFrame(const unsigned char* pixels, int width, int height);

// Draws the frame at (0, 0) of the device context, bottom row lowest, in one
// pass straight from the caller's buffer. Widths whose rows are not a whole
// number of 4-byte words are not drawn (the bitmap copy reads aligned rows).
void DrawFrame(ui::DeviceContext& dc, const unsigned char* pixels, int width, int height);
