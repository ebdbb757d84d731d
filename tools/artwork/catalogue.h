// The control bitmaps of the panel: for each resource id its frame size and the face of every
// frame, top to bottom. Two-frame images hold the off face above the on face; the routing strips
// hold, per state, the released (orange) frame and then the pressed (blue) one; the sweep shape
// switch holds "Sine" blue, "Sine" orange, the triangle blue, the triangle orange.
#pragma once

#include "canvas.h"
#include "faces.h"
#include "fonts.h"

#include <memory>
#include <vector>

namespace artwork {

struct BitmapSpec {
  int id;
  int width;
  int frameHeight;
  bool rounded;
  CaptionFont font;
  std::vector<FaceSpec> frames;

  [[nodiscard]] int height() const { return frameHeight * static_cast<int>(frames.size()); }
};

// Ids 131 to 209, in id order.
[[nodiscard]] std::vector<BitmapSpec> controlBitmaps();

[[nodiscard]] std::unique_ptr<Canvas> drawBitmap(const BitmapSpec& spec, const Fonts& fonts);

}  // namespace artwork
