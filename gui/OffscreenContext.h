// OffscreenContext: a drawing context on its own memory surface, for composing a control's
// look before copying it to the window in one block.
#pragma once

#include <cstdint>

#include "gui/DrawContext.h"

class GuiBitmap;

class OffscreenContext : public DrawContext {
 public:
  // A context for the source's frame, without a window, on a surface the size of `bitmap`
  // holding a copy of it; without a bitmap 20 x 20 and black. `source` may be null.
  OffscreenContext(DrawContext* source, GuiBitmap* bitmap);
  // A width x height surface painted all in `color`, with fill and frame colour set to it.
  OffscreenContext(GuiFrame* frame, std::int32_t width, std::int32_t height, GuiColor color,
                   const GuiRect& frameSize = kNoFrameClip);

  std::int32_t getWidth() const { return getDevice()->width(); }
  std::int32_t getHeight() const { return getDevice()->height(); }

  // Copies a block of destRect's size, starting at `sourceOffset` in this surface, to destRect's
  // top-left plus the destination's offset.
  void copyTo(DrawContext* destination, const GuiRect& destRect, GuiPoint sourceOffset = {});
};
