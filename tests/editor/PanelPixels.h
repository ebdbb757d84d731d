// Pixel checks of the open panel: which pixels the controls on show at open may cover, so that
// everything else can be compared with the background bitmap.
#pragma once

#include "editor/PanelLayout.h"

namespace panelpixels {

// True where a control that is on show from the start covers the pixel (its edges and a one-pixel
// margin included).
inline bool coveredByAStartingControl(int x, int y) {
  for (const panel::ControlSpec& spec : panel::kLayout) {
    const GuiRect& r = spec.rect;
    if (spec.attached && x >= r.left - 1 && x <= r.right + 1 && y >= r.top - 1 &&
        y <= r.bottom + 1) {
      return true;
    }
  }
  return false;
}

}  // namespace panelpixels
