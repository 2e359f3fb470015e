// Build-time helper: writes one image of the application icon as a PNG file,
// so the desktop icons are made from the same icon art the program shows.
//
//   korvane_make_icon_png SIZE OUTPUT.png     (SIZE 16 or 32)

#include <cstddef>
#include <cstdio>
#include <span>
#include <string_view>

#include "packaging/OutputFile.h"
#include "packaging/PngWriter.h"
#include "res/AppIcon.h"
#include "res/ResourceIds.h"
#include "ui/core/Icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: korvane_make_icon_png SIZE OUTPUT.png\n");
    return 2;
  }
  const std::string_view size = argv[1];
  const ui::HICON icon = res::FindIcon(res::IDR_MAINFRAME);
  if (icon == nullptr) {
    std::fprintf(stderr, "korvane_make_icon_png: the application icon is missing\n");
    return 1;
  }
  const ui::IconImage* image = size == "32" ? &icon->large : size == "16" ? &icon->small : nullptr;
  if (image == nullptr) {
    std::fprintf(stderr, "korvane_make_icon_png: SIZE is 16 or 32, not %s\n", argv[1]);
    return 2;
  }

  // Art of the wrong length would come out padded or cut; refuse it instead.
  const std::size_t side = image == &icon->large ? 32 : 16;
  if (static_cast<std::size_t>(image->size) != side || image->rows.size() != side * side) {
    std::fprintf(stderr, "korvane_make_icon_png: the %zu-pixel icon art is not %zu x %zu\n", side,
                 side, side);
    return 1;
  }
  const auto argb = ui::IconToArgb(*image);
  const auto png = EncodePng(image->size, image->size, argb);
  return WriteOutputFile("korvane_make_icon_png", argv[2], std::as_bytes(std::span(png)));
}
