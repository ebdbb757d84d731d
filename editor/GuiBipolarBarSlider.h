// GuiBipolarBarSlider: a vertical LED-style bar lit from its centre row, (top + bottom) / 2:
// upward for values above 0.5, downward for values below it, the centre row always lit. With
// s = (value - 0.5) * 50, the 24 rows above light while s > i (i = 1 ... 24) and the 25 rows below
// while s < i (i = -1 ... -25). A drag sets the value to (bottom - y) / 100, strictly between the
// bar's left and right edges. The panel uses it for the main detune and the oscillators' detunes
// and phases.
#pragma once

#include "editor/GuiSegmentBar.h"

class GuiBipolarBarSlider : public GuiSegmentBar {
 public:
  // The knob's arguments; the bitmaps are held but not drawn.
  GuiBipolarBarSlider(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                      GuiBitmap* background, GuiBitmap* handle, GuiPoint backgroundOffset);

  // The always-lit row.
  std::int32_t getCentre() const { return centre; }

 private:
  std::int32_t centre;
};
