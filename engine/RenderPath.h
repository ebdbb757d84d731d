// The ways the engine can compute a block. `reference` is the straightforward form: each
// oscillator on its own, sample by sample, and the effects with the library sine. The other
// paths evaluate the oscillators side by side in SIMD lanes and the effects in blocks, with the
// same operations in the same order, so every path gives the same samples. `portable` needs only
// the x86-64 baseline (SSE2); `avx2` is used where the processor has it.
#pragma once

#include <array>
#include <cstdint>

enum class RenderPath : int32_t { reference = 0, portable = 1, avx2 = 2 };

inline constexpr std::array<RenderPath, 3> kRenderPaths = {RenderPath::reference,
                                                           RenderPath::portable, RenderPath::avx2};
inline constexpr std::array<RenderPath, 2> kFastRenderPaths = {RenderPath::portable,
                                                               RenderPath::avx2};

// Whether this processor can run the path.
[[nodiscard]] bool renderPathSupported(RenderPath path) noexcept;
// The fastest supported path; chosen once per process.
[[nodiscard]] RenderPath fastestRenderPath() noexcept;
// "reference", "portable" or "avx2".
[[nodiscard]] const char* renderPathName(RenderPath path) noexcept;
