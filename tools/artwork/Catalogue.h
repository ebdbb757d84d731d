// The control bitmaps of the panel: for each resource id its frame size and the face of every
// frame, top to bottom. Two-frame images hold the off face above the on face; the routing strips
// hold, per state, the released (orange) frame and then the pressed (blue) one; the sweep shape
// switch holds "Sine" blue, "Sine" orange, the triangle blue, the triangle orange.
#pragma once

#include "Canvas.h"
#include "Faces.h"
#include "Fonts.h"

#include <memory>
#include <vector>

namespace artwork {

struct BitmapRecipe {
  int id;
  int width;
  int frameHeight;
  bool rounded;
  CaptionFont font;
  std::vector<FaceRecipe> frames;

  [[nodiscard]] int height() const { return frameHeight * static_cast<int>(frames.size()); }
};

// Ids 131 to 209, in id order.
[[nodiscard]] std::vector<BitmapRecipe> controlBitmaps();

[[nodiscard]] std::unique_ptr<Canvas> drawBitmap(const BitmapRecipe& recipe, const Fonts& fonts);

}  // namespace artwork
