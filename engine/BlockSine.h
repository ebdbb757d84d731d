// The sine of a block of double-precision angles, rounded to float, exactly as
// float(std::sin(x)) rounds: a polynomial gives the sine to within 6.2e-12 and, where that is
// too close to a float rounding boundary to be sure of the result, the library sine decides.
// The phaser and the flanger compute their LFOs this way on the fast render paths.
#pragma once

#include <cstdint>

#include "engine/RenderPath.h"

// out[k] = float(std::sin(angles[k])) for k in 0..count-1, for any angle (non-finite and very
// large angles go to the library sine).
void sineToFloat(const double* angles, float* out, int32_t count, RenderPath path) noexcept;
