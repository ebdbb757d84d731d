// The shape the four effects share, so the engine's effect stage is one loop: storage for a rate
// (allocated by the engine, which may fail and then changes nothing), a retune for a rate with
// that storage, a reset to silence, and one block from a send bus to a return bus in two forms
// that give the same samples: the straightforward per-sample form (the reference render path)
// and the block form with a render path's kernels.
#pragma once

#include <cstdint>
#include <vector>

struct RenderKernels;

class BusEffect {
 public:
  virtual ~BusEffect() = default;

  // Samples of storage the effect needs at a rate (0: none).
  [[nodiscard]] virtual int32_t storageLength(float rate) const noexcept = 0;
  // Retunes for a rate the caller checked, taking zeroed storage of storageLength(rate) samples.
  // Never allocates.
  virtual void prepare(float rate, std::vector<float>&& storage) noexcept = 0;
  // Silence: clears the lines and the filter and LFO states; the settings stay.
  virtual void reset() noexcept = 0;
  // `in` and `out` may be the same block.
  virtual void processSamples(const float* in, float* out, int32_t count) noexcept = 0;
  virtual void processBlock(const float* in, float* out, int32_t count,
                            const RenderKernels& kernels) noexcept = 0;

 protected:
  BusEffect() = default;
  BusEffect(const BusEffect&) = default;
  BusEffect& operator=(const BusEffect&) = default;
};
