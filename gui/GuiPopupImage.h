// GuiPopupImage: a spot that, when clicked, pops a picture up over the panel. While it is on
// (value 1) it is the frame's modal view and covers its display rectangle with its bitmap; the
// next click (which, the view being modal, only it can receive) puts it back to its own size and
// ends the modal state. While off it draws nothing.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiPopupImage : public GuiControl {
 public:
  GuiPopupImage(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                GuiBitmap* background, const GuiRect& displayRect, GuiPoint backgroundOffset);

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // Leaving the frame while popped up ends the frame's modal state with it.
  bool onRemoved(GuiView* parent) override;

  const GuiRect& getDisplayRect() const { return displayRect; }
  bool isPoppedUp() const { return value != 0.0f; }

 protected:
  // Back to the closed size; the frame stops treating it as modal.
  void close();

  GuiRect displayRect;
  GuiPoint backgroundOffset;
  GuiRect closedSize;
};
