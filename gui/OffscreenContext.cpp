// Offscreen contexts own their surface; the base context paints on it like on any other.
#include "gui/OffscreenContext.h"

#include "gui/GuiBitmap.h"

namespace {

constexpr std::int32_t kDefaultSide = 20;

std::unique_ptr<DrawSurface> surfaceFor(const GuiBitmap* bitmap) {
  if (!bitmap) return std::make_unique<DrawSurface>(kDefaultSide, kDefaultSide);
  return std::make_unique<DrawSurface>(bitmap->getWidth(), bitmap->getHeight());
}

}  // namespace

OffscreenContext::OffscreenContext(DrawContext* source, GuiBitmap* bitmap)
    : DrawContext(source ? source->getFrame() : nullptr, surfaceFor(bitmap),
                  source ? source->getFrameSize() : kNoFrameClip) {
  if (bitmap) {
    bitmap->draw(this, {0, 0, getWidth(), getHeight()});
  } else {
    fillRect({0, 0, getWidth(), getHeight()});
  }
}

OffscreenContext::OffscreenContext(GuiFrame* frame, std::int32_t width, std::int32_t height,
                                   GuiColor color, const GuiRect& frameSize)
    : DrawContext(frame, std::make_unique<DrawSurface>(width, height), frameSize) {
  setFillColor(color);
  setFrameColor(color);
  const GuiRect all{0, 0, getWidth(), getHeight()};
  fillRect(all);
  drawRect(all);
}

void OffscreenContext::copyTo(DrawContext* destination, const GuiRect& destRect,
                              GuiPoint sourceOffset) {
  if (!destination) return;
  destination->copyBlock(getDevice()->cairoSurface(), destRect, sourceOffset);
}
