// The SIMD kernels of the portable (SSE2, the x86-64 baseline) and AVX2 render paths, each
// written once over an instruction-set ops type (SimdKernelBodies.h). The AVX2 forms may only run
// where the processor has AVX2; RenderKernels chooses them.
#pragma once

#include <cstdint>

#include "engine/RenderKernels.h"

struct CombLanes;
struct LaneBlock;

void renderLanesPortable(LaneBlock& lanes, int32_t offset, int32_t count) noexcept;
void renderLanesAvx2(LaneBlock& lanes, int32_t offset, int32_t count) noexcept;

void sumBusPortable(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept;
void sumBusAvx2(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept;

void sumOutputPortable(float* out, const OutputBuses& buses, float gain, int32_t count) noexcept;
void sumOutputAvx2(float* out, const OutputBuses& buses, float gain, int32_t count) noexcept;

void sinesPortable(const double* angles, float* out, int32_t count) noexcept;
void sinesAvx2(const double* angles, float* out, int32_t count) noexcept;

void combsPortable(CombLanes& combs, const float* in, float gain, float* sums,
                   int32_t count) noexcept;
void combsAvx2(CombLanes& combs, const float* in, float gain, float* sums, int32_t count) noexcept;
