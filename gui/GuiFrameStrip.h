// GuiFrameStrip: a picture of its value, one of `frameCount` frames of a vertical bitmap strip
// (value 0 the first frame, 1 the last, rounded in between). It takes no part in mouse handling.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiFrameStrip : public GuiControl {
 public:
  GuiFrameStrip(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                std::int32_t frameCount, std::int32_t frameHeight, GuiBitmap* background,
                GuiPoint backgroundOffset);

  // Frame trunc(value * (count - 1) + 0.5); a value above 1 is set back to 1 first, one below 0
  // shows the first frame.
  void draw(DrawContext* context) override;

  std::int32_t getFrameCount() const { return frameCount; }
  std::int32_t getFrameHeight() const { return frameHeight; }
  std::int32_t currentFrame() const;

 protected:
  std::int32_t frameCount;
  std::int32_t frameHeight;
  GuiPoint backgroundOffset;
};
