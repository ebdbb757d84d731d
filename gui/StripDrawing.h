// The family's common way to show a frame of a bitmap strip: the control's rectangle filled from
// a source point of the bitmap, with pure white knocked out when the control is transparent.
#pragma once

#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"

// Where frame `index` of a strip of frames `frameHeight` tall starts, the first at `offset`.
inline GuiPoint frameSource(GuiPoint offset, std::int64_t index, std::int32_t frameHeight) {
  return {offset.h, saturateToInt32(offset.v + index * frameHeight)};
}

// Nothing without a context or bitmap.
inline void drawStripFrame(DrawContext* context, GuiBitmap* bitmap, const GuiRect& dest,
                           GuiPoint source, bool transparent) {
  if (!context || !bitmap) return;
  if (transparent) {
    bitmap->drawKeyed(context, dest, source);
  } else {
    bitmap->draw(context, dest, source);
  }
}
