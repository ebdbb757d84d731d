// Four-point interpolation shared by the oscillator's table read and the envelope layer's curve
// read: the Catmull-Rom cubic through y1 (f = 0) and y2 (f = 1), evaluated in single precision in
// exactly this order so that every build gives the same samples.
#pragma once

[[nodiscard]] inline float interpolateFourPoint(float y0, float y1, float y2, float y3,
                                                float f) noexcept {
  return y1 + f * ((y2 - y0) * 0.5f + f * ((y0 + 2.0f * y2) - (5.0f * y1 + y3) * 0.5f +
                                           f * ((y3 + 3.0f * (y1 - y2) - y0) * 0.5f)));
}
