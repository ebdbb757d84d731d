// Feedback delay: a line of 2 seconds, read at a distance set by the time parameter (size × v
// samples; v = 0 and v = 1 both give the full line). The output always carries the dry input.
// A time setting may arrive while a block renders: the setter only records it, and the render
// moves the read position before its next sample, so the change is never lost.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/BusEffect.h"
#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

class Delay final : public BusEffect {
 public:
  // A line for 44100 Hz, write position 44100, read position 0, as designed.
  Delay();

  // Samples of line for a rate (two seconds).
  [[nodiscard]] int32_t storageLength(float rate) const noexcept override;
  // Takes a zeroed line of storageLength(rate) samples, restarts the positions for that rate and
  // reapplies the time setting.
  void prepare(float rate, std::vector<float>&& line) noexcept override;
  // Clears the line and restarts the positions.
  void reset() noexcept override;
  void processSamples(const float* in, float* out, int32_t count) noexcept override;
  // The delay has one form.
  void processBlock(const float* in, float* out, int32_t count,
                    const RenderKernels&) noexcept override {
    processSamples(in, out, count);
  }

  // Non-finite values are ignored.
  void setTime(float v) noexcept;
  void setFeedback(float v) noexcept { assignFinite(feedback, v); }
  void setLevel(float v) noexcept { assignFinite(level, v); }
  [[nodiscard]] float getTime() const noexcept;
  [[nodiscard]] float getFeedback() const noexcept { return feedback.load(); }
  [[nodiscard]] float getLevel() const noexcept { return level.load(); }

 private:
  // processSamples one sample at a time, with the positions in locals; the destructor stores
  // them back.
  class Run {
   public:
    explicit Run(Delay& delay) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    [[nodiscard]] float sample(float x) noexcept {
      const float d = line[read] * gain;
      line[write] = finiteOrZero(x + d * loop);
      read = read == last ? 0 : read + 1;
      write = write == last ? 0 : write + 1;
      return x + d;
    }

   private:
    Delay& delay;
    float* line;
    int32_t last;
    float gain;
    float loop;
    int32_t write;
    int32_t read = 0;
  };

  [[nodiscard]] static int32_t lineLength(float rate) noexcept;
  // Write position restarted, read position from the time setting.
  void restart() noexcept;
  // The read position that trails `write` by size × v samples.
  [[nodiscard]] int32_t readPositionFor(float v, int32_t write) const noexcept;
  // Render side: moves the read position for a time setting made since the last block.
  void applyTimeSetting() noexcept;

  std::vector<float> buffer;
  // Where the write position restarts: one second into the line.
  int32_t restartPosition;
  int32_t writePosition;
  int32_t readPosition = 0;
  int32_t size;
  float time = 1.0f;
  SharedValue<float> level = 0.2f;
  SharedValue<float> feedback = 0.1f;
  // Time settings made (setter side) and applied to the read position (render side).
  uint32_t timeSettings = 0;
  uint32_t appliedTimeSettings = 0;
};
