// Contact sheet: one PNG showing the background, a preview of the panel with every control
// bitmap placed on it at rest, and every control bitmap with all its frames and its id, at 1:1.
#pragma once

#include "Canvas.h"
#include "Catalogue.h"
#include "Fonts.h"

#include <memory>
#include <vector>

namespace artwork {

struct DrawnBitmap {
  int id;
  int frameHeight;
  std::unique_ptr<Canvas> image;
};

// `bitmaps` holds the background (id 128) first, then the control bitmaps.
[[nodiscard]] std::unique_ptr<Canvas> drawContactSheet(const std::vector<DrawnBitmap>& bitmaps,
                                                       const Fonts& fonts);

}  // namespace artwork
