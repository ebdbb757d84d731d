// The common part of the two step switches: n positions, each shown by its own frame of a
// vertical bitmap strip, chosen by pressing on one of n bands of the control (rows for the
// vertical switch, columns for the horizontal one). Position k has the value k / (n - 1). While
// the press lasts with the same buttons and modifiers the value follows the band under the
// pointer (a gesture for the host); control-click sets the default value.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiStepSwitch : public GuiControl {
 public:
  enum class Axis { vertical, horizontal };

  // Frame k for a value in [k / (n - 1), (k + 1) / (n - 1)), frame n - 1 for 1; never past the
  // last frame of the bitmap.
  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;

  std::int32_t getPositionCount() const { return positionCount; }
  std::int32_t getFrameHeight() const { return frameHeight; }
  std::int32_t getBitmapFrames() const { return bitmapFrames; }
  GuiPoint getBackgroundOffset() const { return backgroundOffset; }
  // The frame shown for the current value.
  std::int32_t currentFrame() const;
  // The value a press at `where` (frame coordinates) gives.
  float valueAt(GuiPoint where) const;

 protected:
  // `positions` below 1 count as 1 (a switch with one position always has the value 0).
  GuiStepSwitch(Axis axis, const GuiRect& size, ControlListener* listener, std::int32_t tag,
                std::int32_t bitmapFrames, std::int32_t frameHeight, std::int32_t positions,
                GuiBitmap* background, GuiPoint backgroundOffset);
  // Pixels per band: the frame height (vertical) or the bitmap width (horizontal) over n.
  std::int32_t bandSize() const;

  Axis axis;
  std::int32_t bitmapFrames;
  std::int32_t frameHeight;
  std::int32_t positionCount;
  GuiPoint backgroundOffset;
};
