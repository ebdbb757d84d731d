// The style bits of the control family: what the displays draw, how the sliders map their
// handle, when the text field opens and whether the choice menu checks its current entry.
#pragma once

#include <cstdint>

// Style bits of the display family (and of the sliders, 0x20 and 0x40).
enum ControlStyle : std::int32_t {
  kStyleShadowText = 0x4,
  kStyleHandleFollowsValue = 0x20,  // sliders: handle position = value (else 1 - value)
  kStyleInvertedDrag = 0x40,        // sliders: dragged value = 1 - fraction of the travel
  kStyleSunkenFrame = 0x80,
  kStyleRaisedFrame = 0x100,
  kStyleCheckCurrent = 0x400,  // choice menu: the current entry carries a check mark
  kStyleNoText = 0x800,
  kStyleNoDraw = 0x1000,
  kStyleDoubleClick = 0x2000,  // text field opens only on a double click
};
