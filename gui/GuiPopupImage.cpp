// The popup image: a click toggles between the closed spot and the modal picture.
#include "gui/GuiPopupImage.h"

#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "gui/StripDrawing.h"

GuiPopupImage::GuiPopupImage(const GuiRect& imageSize, ControlListener* imageListener,
                             std::int32_t imageTag, GuiBitmap* imageBackground,
                             const GuiRect& display, GuiPoint offset)
    : GuiControl(imageSize, imageListener, imageTag, imageBackground),
      displayRect_(display),
      backgroundOffset_(offset),
      closedSize_(imageSize) {}

void GuiPopupImage::draw(DrawContext* context) {
  if (isPoppedUp()) drawStripFrame(context, background_, displayRect_, backgroundOffset_, transparent_);
  setDirty(false);
}

void GuiPopupImage::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if (isPoppedUp()) {
    close();
  } else {
    // Another modal view has the frame: this one cannot pop up now.
    if (frame_ && !frame_->setModalView(this)) return;
    closedSize_ = size_;
    value_ = 1.0f;
    setSize(displayRect_);
  }
  notifyListener(context);
}

void GuiPopupImage::close() {
  value_ = 0.0f;
  setSize(closedSize_);
  if (frame_ && frame_->getModalView() == this) frame_->setModalView(nullptr);
}

bool GuiPopupImage::onRemoved(GuiView* parent) {
  if (isPoppedUp() && frame_ && frame_->getModalView() == this) close();
  return GuiControl::onRemoved(parent);
}
