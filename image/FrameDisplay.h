#pragma once
// Frame display: a frame buffer (bottom-up rows of blue-green-red pixels)
// drawn 1:1 at the top-left corner of the player's picture control.
//
// The display does not know the player: the player hands its picture control
// over when the control is bound to its window, and takes it back when the
// player goes. There is one player, so the control shown into is always its.

#include "ui/core/DeviceContext.h"
#include "ui/core/Dialog.h"

// The picture control frames are shown in from now on.
void SetDisplayPicture(ui::PictureControl& picture);
// Forgets `picture` if it is the control frames are shown in; another
// control handed over since stays.
void ReleaseDisplayPicture(const ui::PictureControl& picture);

// Draws the frame into the player's picture control. Does nothing while no
// control was handed over or the control has no window.
void ShowFrame(const unsigned char* pixels, int width, int height);

// Draws the frame at (0, 0) of the device context, bottom row lowest, in one
// pass straight from the caller's buffer. Widths whose rows are not a whole
// number of 4-byte words are not drawn (the bitmap copy reads aligned rows).
void DrawFrame(ui::DeviceContext& dc, const unsigned char* pixels, int width, int height);
