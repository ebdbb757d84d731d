// The SIMD kernels of the portable (SSE2, the x86-64 baseline) and AVX2 render paths, each
// written once over an instruction-set ops type (SimdKernelBodies.h) and instantiated per set
// (SimdPortable.cpp, SimdAvx2.cpp). The AVX2 set may only run where the processor has AVX2;
// RenderKernels chooses it.
#pragma once

#include <cstdint>

#include "engine/LaneKernels.h"
#include "engine/RenderKernels.h"

struct SimdKernels {
  LaneKernel lanes;
  void (*sumBus)(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept;
  void (*sumOutput)(float* out, const OutputBuses& buses, float gain, int32_t count) noexcept;
  void (*sines)(const double* angles, float* out, int32_t count) noexcept;
  void (*combs)(CombLanes& combs, const float* in, float gain, float* sums, int32_t count) noexcept;
};

[[nodiscard]] const SimdKernels& portableKernels() noexcept;
[[nodiscard]] const SimdKernels& avx2Kernels() noexcept;
