#pragma once
// A frame source that records what the player shows: the top-left corner of
// its picture control's surface, overlays included, exactly as drawn.

#include <cstdint>
#include <span>

#include "console/KorvaneDlg.h"
#include "ui/core/Dialog.h"
#include "ui/core/Surface.h"

// Copies the top-left width × height pixels of `surface` into `capture` (top
// row first, red-green-blue, rows of width × 3 bytes). Pixels the surface does
// not cover, and the whole frame when there is no surface, become black, so a
// recorded frame never holds stale pixels. Does nothing when `capture` holds
// fewer than width × height × 3 bytes or a size is not positive.
void CopySurfaceTopLeft(const ui::Surface* surface, std::span<std::uint8_t> capture, int width,
                        int height);

// A source that copies the picture control's surface at every record tick.
// The control must outlive the recorder's use of the source; while it has no
// window the recorded frames are black.
FrameSource MakePictureSource(const ui::PictureControl& picture, int width, int height);
