// The SIMD kernels, each written once over an instruction-set ops type `Ops`: SimdPortable.cpp
// instantiates them with SSE2 (four float lanes, two double lanes), SimdAvx2.cpp with AVX2
// (eight and four). The ops type supplies the vector types and operations, and the few steps
// whose best form differs between the sets (loading interpolation rows, transposing samples
// into the lanes' buffers, gathering comb lines, rounding). Each file includes this header after
// setting its target, with its ops type in an unnamed namespace, so every instantiation is the
// file's own: only templates belong here, since a plain inline function would be shared by both
// files and could end up compiled for the wrong set. Every kernel does the scalar code's
// operations in the scalar code's order, so each lane gives the scalar code's float.
#pragma once

#include <immintrin.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/CombLanes.h"
#include "engine/FloatGuards.h"
#include "engine/LaneKernels.h"
#include "engine/RenderKernels.h"
#include "engine/SimdKernels.h"

namespace simd_kernels {

// ---- oscillator lanes ---------------------------------------------------------------------

// One sample of the lanes first .. first+kWidth-1: the interpolated read scaled by gain and
// amplitude, then the phase step with its single subtraction of the period.
template <class Ops, bool kCheckStray>
inline typename Ops::Floats laneSample(LaneBlock& lanes, int32_t first,
                                       typename Ops::Floats& position, typename Ops::Floats step,
                                       typename Ops::Floats scale, typename Ops::Floats level,
                                       typename Ops::Floats length) noexcept {
  using F = typename Ops::Floats;
  const auto index = Ops::truncate(position);
  const F fraction = Ops::sub(position, Ops::toFloats(index));
  alignas(32) int32_t at[Ops::kWidth];  // byte offsets of the rows
  Ops::storeRowOffsets(at, index);
  // Read them back through memory: the load ports are idle here, the vector ports are not.
  asm("" : "+m"(at));
  F c0, c1, c2, c3;
  Ops::loadRows(reinterpret_cast<const char*>(lanes.rows), at, c0, c1, c2, c3);
  F value = Ops::add(c2, Ops::mul(fraction, c3));
  value = Ops::add(c1, Ops::mul(fraction, value));
  value = Ops::add(c0, Ops::mul(fraction, value));
  const F result = Ops::mul(Ops::mul(value, scale), level);
  position = Ops::add(position, step);
  position = Ops::sub(position, Ops::bitAnd(Ops::atLeast(position, length), length));
  if (!kCheckStray) return result;
  const F inside = Ops::bitAnd(Ops::atLeast(position, Ops::zero()), Ops::below(position, length));
  if (Ops::mask(inside) != Ops::kAllLanes) {
    Ops::storeAligned(lanes.position.data() + first, position);
    wrapStrayLanes(lanes, first, Ops::kWidth);
    position = Ops::loadAligned(lanes.position.data() + first);
  }
  return result;
}

// The lanes first .. first+kWidth-1 over a run, their state in registers.
template <class Ops, bool kCheckStray>
inline void renderLaneGroup(LaneBlock& lanes, int32_t first, int32_t offset,
                            int32_t count) noexcept {
  using F = typename Ops::Floats;
  constexpr int32_t kWidth = Ops::kWidth;
  const F length = Ops::broadcast(lanes.length);
  F position = Ops::loadAligned(lanes.position.data() + first);
  const F step = Ops::loadAligned(lanes.step.data() + first);
  const F scale = Ops::loadAligned(lanes.scale.data() + first);
  const F level = Ops::loadAligned(lanes.level.data() + first);
  float* out[kWidth];
  for (int32_t j = 0; j < kWidth; ++j)
    out[j] = lanes.out[static_cast<std::size_t>(first + j)] + offset;
  int32_t k = 0;
  for (; k + kWidth <= count; k += kWidth) {
    F s[kWidth];
    for (F& sample : s) {
      sample = laneSample<Ops, kCheckStray>(lanes, first, position, step, scale, level, length);
    }
    Ops::storeTransposed(s, out, k);
  }
  for (; k < count; ++k) {
    alignas(32) float sample[kWidth];
    Ops::storeAligned(
        sample, laneSample<Ops, kCheckStray>(lanes, first, position, step, scale, level, length));
    for (int32_t j = 0; j < kWidth; ++j) out[j][k] = sample[j];
  }
  Ops::storeAligned(lanes.position.data() + first, position);
}

// All eight lanes, a group of kWidth after another.
template <class Ops, bool kCheckStray>
inline void renderLaneGroups(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
  for (int32_t first = 0; first < LaneBlock::kLanes; first += Ops::kWidth) {
    renderLaneGroup<Ops, kCheckStray>(lanes, first, offset, count);
  }
}

template <class Ops>
inline void renderLanes(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
  if (lanesStaySteady(lanes, LaneBlock::kLanes)) {
    renderLaneGroups<Ops, false>(lanes, offset, count);
  } else {
    renderLaneGroups<Ops, true>(lanes, offset, count);
  }
}

// ---- bus sums ------------------------------------------------------------------------------

template <class Ops>
inline void sumBus(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept {
  using F = typename Ops::Floats;
  int32_t k = 0;
  for (; k + Ops::kWidth <= count; k += Ops::kWidth) {
    F sum = Ops::zero();
    for (int32_t j = 0; j < n; ++j) sum = Ops::add(sum, Ops::load(sources[j] + k));
    Ops::store(bus + k, sum);
  }
  for (; k < count; ++k) {
    float sum = 0.0f;
    for (int32_t j = 0; j < n; ++j) sum += sources[j][k];
    bus[k] = sum;
  }
}

// The plain loop: the compiler vectorises it for the file's instruction set.
template <class Ops>
inline void sumOutput(float* out, const OutputBuses& b, float gain, int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) {
    out[k] =
        finiteOrZero((b.flanger[k] + b.reverb[k] + b.delay[k] + b.dry[k] + b.phaser[k]) * gain);
  }
}

// ---- LFO sines -----------------------------------------------------------------------------
// Range reduction: k = nearest integer to x/π, r = (x − k·Ph) − k·Pl with Ph = π to 34 bits
// (k·Ph and the first subtraction are exact for |x| ≤ 4096), Pl the rest, so sin x = (−1)^k sin r
// with |r| ≤ π/2; sin r by its Taylor series to r^15 (the first term left out, and so the error,
// stays below 6.2e-12 there). The check allows 2^-36 (1.46e-11): a float result is taken only
// when every value within 2^-36 of the polynomial's rounds to it, which leaves about one sine in
// five hundred to the library.

inline constexpr double kOneOverPi = 3.18309886183790671538e-01;
inline constexpr double kPiHigh = 3.14159265346825122834e+00;
inline constexpr double kPiLow = 1.21542010130123844986e-10;
inline constexpr double kLargestAngle = 4096.0;
inline constexpr double kTolerance = 1.4551915228366852e-11;  // 2^-36
// Taylor coefficients of sin r / r − 1 in z = r²: −1/3!, 1/5!, ... −1/15!.
inline constexpr int32_t kTerms = 7;
inline constexpr std::array<double, kTerms> kTaylor = {
    -1.0 / 6.0,        1.0 / 120.0,        -1.0 / 5040.0,         1.0 / 362880.0,
    -1.0 / 39916800.0, 1.0 / 6227020800.0, -1.0 / 1307674368000.0};

// kDoubles sines into out[0 ..]; returns a mask (bit per lane) of the lanes whose float result
// is not certain.
template <class Ops>
inline int sineLanes(typename Ops::Doubles x, float* out) noexcept {
  using D = typename Ops::Doubles;
  const D magnitude = Ops::bitAndNot(Ops::broadcast(-0.0), x);
  const D inside = Ops::atMost(magnitude, Ops::broadcast(kLargestAngle));
  const int inRange = Ops::mask(inside);
  const D safeX = Ops::bitAnd(x, inside);
  D k;
  D oddSign;
  Ops::nearestInteger(Ops::mul(safeX, Ops::broadcast(kOneOverPi)), k, oddSign);
  D r = Ops::sub(safeX, Ops::mul(k, Ops::broadcast(kPiHigh)));
  r = Ops::sub(r, Ops::mul(k, Ops::broadcast(kPiLow)));
  const D z = Ops::mul(r, r);
  D p = Ops::broadcast(kTaylor[kTerms - 1]);
  for (int32_t i = kTerms - 2; i >= 0; --i) {
    p = Ops::add(Ops::broadcast(kTaylor[static_cast<std::size_t>(i)]), Ops::mul(z, p));
  }
  D v = Ops::add(r, Ops::mul(Ops::mul(r, z), p));
  v = Ops::bitXor(v, oddSign);  // an odd k flips the sign
  const __m128 low = Ops::toFloats(Ops::sub(v, Ops::broadcast(kTolerance)));
  const __m128 high = Ops::toFloats(Ops::add(v, Ops::broadcast(kTolerance)));
  Ops::storeFloats(out, low);
  constexpr int kAll = (1 << Ops::kDoubles) - 1;
  const int certain = _mm_movemask_ps(_mm_cmpeq_ps(low, high)) & kAll & inRange;
  return ~certain & kAll;
}

template <class Ops>
inline void sines(const double* angles, float* out, int32_t count) noexcept {
  constexpr int32_t kWidth = Ops::kDoubles;
  // Several vectors per turn where their long polynomial chains overlap to advantage.
  constexpr int32_t kTurn = kWidth * Ops::kSineVectorsPerTurn;
  int32_t k = 0;
  for (; k + kTurn <= count; k += kTurn) {
    int uncertain = 0;
    for (int32_t v = 0; v < Ops::kSineVectorsPerTurn; ++v) {
      uncertain |= sineLanes<Ops>(Ops::load(angles + k + v * kWidth), out + k + v * kWidth)
                   << (v * kWidth);
    }
    if (uncertain == 0) continue;
    for (int32_t j = 0; j < kTurn; ++j) {
      if (uncertain & (1 << j)) out[k + j] = static_cast<float>(std::sin(angles[k + j]));
    }
  }
  for (; k + kWidth <= count; k += kWidth) {
    const int uncertain = sineLanes<Ops>(Ops::load(angles + k), out + k);
    for (int32_t j = 0; j < kWidth; ++j) {
      if (uncertain & (1 << j)) out[k + j] = static_cast<float>(std::sin(angles[k + j]));
    }
  }
  for (; k < count; ++k) out[k] = static_cast<float>(std::sin(angles[k]));
}

// ---- reverb combs --------------------------------------------------------------------------
// Four samples per run. The combs lie in kCombGroups groups of vectors: v[g][j] holds four
// samples of the comb(s) the ops type assigns to group g and row j (SSE2: comb 4g + j; AVX2: comb
// j in the low half and comb j + 4 in the high half), so every transpose stays within 128-bit
// halves.

template <class Ops>
inline void combs(CombLanes& combs, const float* in, float gain, float* sums,
                  int32_t count) noexcept {
  using F = typename Ops::Floats;
  constexpr int32_t kGroups = CombLanes::kCombs / Ops::kWidth;
  // One group's settings stay in registers for the whole call; with two groups (SSE2) there are
  // too few registers for both, and each group reads its own when it filters.
  const auto setting = [](const std::array<float, CombLanes::kCombs>& values, int32_t g) {
    return Ops::loadAligned(values.data() + g * Ops::kWidth);
  };
  F held[3];
  if constexpr (kGroups == 1) {
    held[0] = setting(combs.damp1, 0);
    held[1] = setting(combs.damp2, 0);
    held[2] = setting(combs.feedback, 0);
  }
  int32_t k = 0;
  while (k < count) {
    if (count - k < 4 || !combsRunFree(combs, 4)) {
      sums[k] = combSample(combs, in[k] * gain);
      ++k;
      continue;
    }
    const float inputs[4] = {in[k] * gain, in[k + 1] * gain, in[k + 2] * gain, in[k + 3] * gain};
    F v[kGroups][4];
    for (int32_t g = 0; g < kGroups; ++g) {
      for (int32_t j = 0; j < 4; ++j) v[g][j] = Ops::flush(Ops::loadCombRun(combs, g, j));
    }
    // The sum in comb order: 0 + comb 0 + comb 1 ... + comb 7.
    __m128 sum = _mm_setzero_ps();
    for (int32_t c = 0; c < CombLanes::kCombs; ++c) sum = _mm_add_ps(sum, Ops::combRun(v, c));
    _mm_storeu_ps(sums + k, sum);
    for (int32_t g = 0; g < kGroups; ++g) {
      Ops::transposeQuads(v[g]);  // now v[g][s] holds sample s of the group's combs
      const F damp1 = kGroups == 1 ? held[0] : setting(combs.damp1, g);
      const F damp2 = kGroups == 1 ? held[1] : setting(combs.damp2, g);
      const F feedback = kGroups == 1 ? held[2] : setting(combs.feedback, g);
      F store = Ops::loadAligned(combs.store.data() + g * Ops::kWidth);
      for (int32_t s = 0; s < 4; ++s) {
        store = Ops::flush(Ops::add(Ops::mul(v[g][s], damp2), Ops::mul(store, damp1)));
        v[g][s] = Ops::add(Ops::broadcast(inputs[s]), Ops::mul(store, feedback));
      }
      Ops::storeAligned(combs.store.data() + g * Ops::kWidth, store);
      Ops::transposeQuads(v[g]);  // back to four samples per comb
    }
    for (int32_t g = 0; g < kGroups; ++g) {
      for (int32_t j = 0; j < 4; ++j) Ops::storeCombRun(combs, g, j, v[g][j]);
    }
    for (std::size_t c = 0; c < static_cast<std::size_t>(CombLanes::kCombs); ++c) {
      combs.index[c] += 4;
      if (combs.index[c] >= combs.size[c]) combs.index[c] = 0;
    }
    k += 4;
  }
}

// ---- the set -------------------------------------------------------------------------------

template <class Ops>
constexpr SimdKernels kernelSet() noexcept {
  return {renderLanes<Ops>, sumBus<Ops>, sumOutput<Ops>, sines<Ops>, combs<Ops>};
}

}  // namespace simd_kernels
