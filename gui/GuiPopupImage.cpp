// The popup image: a click toggles between the closed spot and the modal picture.
#include "gui/GuiPopupImage.h"

#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "gui/StripDrawing.h"

GuiPopupImage::GuiPopupImage(const GuiRect& imageSize, ControlListener* imageListener,
                             std::int32_t imageTag, GuiBitmap* imageBackground,
                             const GuiRect& display, GuiPoint offset)
    : GuiControl(imageSize, imageListener, imageTag, imageBackground),
      displayRect(display),
      backgroundOffset(offset),
      closedSize(imageSize) {}

void GuiPopupImage::draw(DrawContext* context) {
  if (isPoppedUp()) drawStripFrame(context, background, displayRect, backgroundOffset, transparent);
  setDirty(false);
}

void GuiPopupImage::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if (isPoppedUp()) {
    close();
  } else {
    // Another modal view has the frame: this one cannot pop up now.
    if (frame && !frame->setModalView(this)) return;
    closedSize = size;
    value = 1.0f;
    setSize(displayRect);
  }
  notifyListener(context);
}

void GuiPopupImage::close() {
  value = 0.0f;
  setSize(closedSize);
  if (frame && frame->getModalView() == this) frame->setModalView(nullptr);
}

bool GuiPopupImage::onRemoved(GuiView* parent) {
  if (isPoppedUp() && frame && frame->getModalView() == this) close();
  return GuiControl::onRemoved(parent);
}
