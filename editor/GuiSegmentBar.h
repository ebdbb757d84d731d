// GuiSegmentBar: what the panel's three LED-style bars share. A bar is drawn entirely with lines
// from its segment table (BarSegments.h) and set by dragging: while exactly the left button is
// held (no modifier), every pass with the pointer in the bar's accepted area sets the value from
// the table's formula, unclamped, redraws the bar and tells the listener, whether or not the
// value changed. There is no automation bracket and no idle call during the drag. The knob's
// wheel, value fields and limits stay as they are.
//
// The rectangle the bar draws and tracks in is the one it was made with.
#pragma once

#include <cstdint>

#include "editor/BarSegments.h"
#include "gui/GuiKnob.h"

class GuiSegmentBar : public GuiKnob {
 public:
  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;

  const GuiRect& getBarRect() const { return barRect; }

 protected:
  // The knob's arguments and the bar's segment table, which must outlive the bar.
  GuiSegmentBar(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                GuiBitmap* background, GuiBitmap* handle, GuiPoint backgroundOffset,
                const BarLayout& layout);

 private:
  const BarLayout& layout;
  GuiRect barRect;
};
