// GuiLevelMeter: a segmented level display. The off bitmap is the meter unlit; over it the on
// bitmap shows the part the value covers, in whole segments (from the left with style bit 1,
// else from the bottom). The shown level follows a rise at once and falls by at most the decay
// amount (1.0 unless set) per redraw, so a meter with a smaller decay keeps redrawing until it
// has come down. It tells no listener and takes no part in mouse handling.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiLevelMeter : public GuiControl {
 public:
  static constexpr std::int32_t kHorizontal = 0x1;

  // Retains both bitmaps (either may be null). Segment counts below 1 count as 1.
  GuiLevelMeter(const GuiRect& size, GuiBitmap* onBitmap, GuiBitmap* offBitmap,
                std::int32_t segments, std::int32_t style = 0);
  ~GuiLevelMeter() override;

  void draw(DrawContext* context) override;
  // Also true while the shown level is still falling towards the value.
  bool isDirty() const override;

  // Values that are not finite or below 0 are ignored.
  void setDecay(float amount);
  float getDecay() const { return decay; }
  float getShownLevel() const { return shownLevel; }
  std::int32_t getSegmentCount() const { return segmentCount; }
  // Segments lit for the shown level.
  std::int32_t litSegments() const;

 protected:
  GuiBitmap* onBitmap = nullptr;
  std::int32_t segmentCount;
  std::int32_t style;
  float decay = 1.0f;
  float shownLevel = 0.0f;
};
