// Mono reverb: eight parallel lowpass-feedback combs into four series allpasses, fed with the
// input × 0.015. Line lengths are the designed ones at 44100 Hz and scale with the rate, so the
// room sounds the same at every rate. Width is kept for reading back; it does not change this
// mono network.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/AllpassFilter.h"
#include "engine/BusEffect.h"
#include "engine/CombFilter.h"
#include "engine/CombLanes.h"
#include "engine/SharedField.h"

class Reverb final : public BusEffect {
 public:
  static constexpr std::array<int32_t, 8> kCombLengths = {1116, 1188, 1277, 1356,
                                                          1422, 1491, 1557, 1617};
  static constexpr std::array<int32_t, 4> kAllpassLengths = {556, 441, 341, 225};

  // Lines for 44100 Hz, all clear, with the designed initial settings.
  Reverb();

  // Samples of storage for all twelve lines at a rate.
  [[nodiscard]] int32_t storageLength(float rate) const noexcept override;
  // Takes zeroed storage of storageLength(rate) samples and lays the lines out in it.
  void prepare(float rate, std::vector<float>&& fresh) noexcept override;
  // Clears the lines and the comb filters' states and restarts every line.
  void reset() noexcept override;
  // The straightforward per-sample form.
  void processSamples(const float* in, float* out, int32_t count) noexcept override {
    processStrided(in, out, count, 1);
  }
  // The same samples, the eight combs side by side with the kernels' comb kernel.
  void processBlock(const float* in, float* out, int32_t count,
                    const RenderKernels& kernels) noexcept override;
  // The per-sample form where `stride` (≥ 1) is the step between samples in both blocks.
  void processStrided(const float* in, float* out, int32_t count, int32_t stride) noexcept;

  // Non-finite values are ignored.
  void setRoomSize(float v) noexcept;
  void setDamping(float v) noexcept;
  void setWet(float v) noexcept;
  void setDry(float v) noexcept;
  void setWidth(float v) noexcept;
  [[nodiscard]] float getRoomSize() const noexcept { return (roomSize.load() - 0.7f) / 0.28f; }
  [[nodiscard]] float getDamping() const noexcept { return damp.load() / 0.4f; }
  [[nodiscard]] float getWet() const noexcept { return wet.load() / 3.0f; }
  [[nodiscard]] float getDry() const noexcept { return dry.load() / 2.0f; }
  [[nodiscard]] float getWidth() const noexcept { return width.load(); }

 private:
  // The block form's state, held in locals for one block: prepare(in, first, n) runs the combs
  // side by side over inputs in[first .. first+n-1] of a piece of at most kPiece samples (pieces
  // and their parts in order), sample(k, x) then gives output k (x = in[k]) through the allpass
  // chain for each prepared k in turn, and the destructor stores the state back. The same
  // arithmetic, in the same order, as processSamples.
  static constexpr int32_t kPiece = 256;
  class Run {
   public:
    Run(Reverb& reverb, const RenderKernels& kernels) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void prepare(const float* in, int32_t first, int32_t n) noexcept;
    [[nodiscard]] float sample(int32_t k, float x) noexcept {
      return chain.process(sums[static_cast<std::size_t>(k)]) * wet + x * dry;
    }

   private:
    Reverb& reverb;
    const RenderKernels& kernels;
    float gain;
    float wet;
    float dry;
    CombLanes lanes;
    AllpassChain chain;
    std::array<float, kPiece> sums;
  };

  void update() noexcept;
  // Render side: the combs take the room size and damping set since the last block.
  void passSettingsToCombs() noexcept;

  // Settings, written by the setters (any thread) and read by the render.
  SharedValue<float> gain = 0.015f;
  SharedValue<float> roomSize = 0.5f * 0.28f + 0.7f;
  SharedValue<float> roomSize1 = roomSize;
  SharedValue<float> damp = 0.5f * 0.4f;
  SharedValue<float> damp1 = damp;
  SharedValue<float> wet = 1.0f;
  SharedValue<float> dry = 0.0f;
  SharedValue<float> width = 1.0f;
  std::array<CombFilter, 8> combs{};
  std::array<AllpassFilter, 4> allpasses{};
  std::vector<float> storage;
};
