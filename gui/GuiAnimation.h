// GuiAnimation: a strip of frames shown one after another while it runs. Its value is the pixel
// row of the current frame in the strip; the owner steps it (nextFrame, previousFrame), for
// example from its idle, and a click starts or stops it. A stopped animation shows nothing: on
// stopping it has the frame redraw what lies beneath it.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiAnimation : public GuiControl {
 public:
  GuiAnimation(const GuiRect& size, ControlListener* listener, std::int32_t tag,
               std::int32_t frameCount, std::int32_t frameHeight, GuiBitmap* background,
               GuiPoint backgroundOffset);

  // While running: the strip from the row trunc(value) plus the offset.
  void draw(DrawContext* context) override;
  // Sets the value to 0 and starts or stops the animation; starting marks it dirty and tells the
  // listener.
  void onMouseDown(DrawContext* context, GuiPoint where) override;

  // Starts from the first frame (tells no listener), or stops; what a click does, for owners.
  void start();
  void stop();
  // One frame height on, back to the first frame past the last one.
  void nextFrame();
  // One frame height back, to the last frame's row below the first.
  void previousFrame();
  bool isRunning() const { return running; }
  std::int32_t getFrameCount() const { return frameCount; }
  std::int32_t getFrameHeight() const { return frameHeight; }

 protected:
  // The row of the last frame.
  float lastRow() const;

  std::int32_t frameCount;
  std::int32_t frameHeight;
  GuiPoint backgroundOffset;
  bool running = false;
};
