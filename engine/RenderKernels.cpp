// The kernel table of every render path, built once per process, and the reference path's
// straightforward kernels.
#include "engine/RenderKernels.h"

#include <algorithm>
#include <cmath>

#include "engine/BusEffect.h"
#include "engine/CombLanes.h"
#include "engine/FloatGuards.h"
#include "engine/LaneKernels.h"
#include "engine/Oscillator.h"
#include "engine/OscillatorBank.h"
#include "engine/SimdKernels.h"

namespace {

// ---- the reference path: each oscillator alone, per-sample loops --------------------------

void renderEachAlone(const RenderKernels&, OscillatorBank&, Oscillator* const* oscillators,
                     float* const* buffers, int32_t n, int32_t count) noexcept {
  for (int32_t i = 0; i < n; ++i) oscillators[i]->render(buffers[i], count);
}

// Each source added onto the cleared bus in turn.
void accumulateBus(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept {
  if (n == 0) {
    std::fill_n(bus, count, 0.0f);
    return;
  }
  for (int32_t k = 0; k < count; ++k) bus[k] = 0.0f + sources[0][k];
  for (int32_t j = 1; j < n; ++j) {
    const float* source = sources[j];
    for (int32_t k = 0; k < count; ++k) bus[k] += source[k];
  }
}

void sumOutputSamples(float* out, const OutputBuses& b, float gain, int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) {
    out[k] =
        finiteOrZero((b.flanger[k] + b.reverb[k] + b.delay[k] + b.dry[k] + b.phaser[k]) * gain);
  }
}

void librarySines(const double* angles, float* out, int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) out[k] = static_cast<float>(std::sin(angles[k]));
}

void combSamples(CombLanes& combs, const float* in, float gain, float* sums,
                 int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) sums[k] = combSample(combs, in[k] * gain);
}

void effectSamples(BusEffect& effect, const float* in, float* out, int32_t count,
                   const RenderKernels&) noexcept {
  effect.processSamples(in, out, count);
}

// ---- the fast paths: oscillators in lanes, block forms --------------------------------------

void renderInLanes(const RenderKernels& kernels, OscillatorBank& bank,
                   Oscillator* const* oscillators, float* const* buffers, int32_t n,
                   int32_t count) noexcept {
  bank.render(oscillators, buffers, n, count, kernels.lanes);
}

void effectBlock(BusEffect& effect, const float* in, float* out, int32_t count,
                 const RenderKernels& kernels) noexcept {
  effect.processBlock(in, out, count, kernels);
}

// A fast path: its lane kernel (laneKernelFor) in the bank, and its set's SIMD kernels.
RenderKernels fastPath(RenderPath path, const SimdKernels& simd) noexcept {
  return {path,           renderInLanes, laneKernelFor(path), simd.sumBus,
          simd.sumOutput, effectBlock,   simd.sines,          simd.combs};
}

struct KernelTable {
  RenderKernels reference{RenderPath::reference, renderEachAlone, nullptr,      accumulateBus,
                          sumOutputSamples,      effectSamples,   librarySines, combSamples};
  RenderKernels portable = fastPath(RenderPath::portable, portableKernels());
  RenderKernels avx2 = fastPath(RenderPath::avx2, avx2Kernels());
};

}  // namespace

const RenderKernels& renderKernels(RenderPath path) noexcept {
  static const KernelTable table;
  switch (path) {
    case RenderPath::reference: return table.reference;
    case RenderPath::avx2:
      if (renderPathSupported(RenderPath::avx2)) return table.avx2;
      break;
    case RenderPath::portable: break;
  }
  return table.portable;
}
