// The bank's grouping and its curve-step bookkeeping around the lane kernels.
#include "engine/OscillatorBank.h"

#include <algorithm>

#include "engine/OscillatorStep.h"
#include "engine/SineTable.h"

namespace {

// Samples an oscillator renders before its next curve step (0: a step comes first).
int32_t samplesBeforeStep(int32_t counter, int32_t limit) noexcept {
  return counter >= limit ? 0 : limit - counter;
}

}  // namespace

// Within a block only a curve step changes what a lane takes from its oscillator.
void OscillatorBank::loadLane(LaneBlock& block, std::size_t lane,
                              const Oscillator& oscillator) noexcept {
  block.position[lane] = oscillator.phase;
  block.step[lane] = oscillator.increment.load();
  block.scale[lane] = oscillator.gain;
  block.level[lane] = oscillator.amplitude;
}

void OscillatorBank::render(Oscillator* const* oscillators, float* const* buffers, int32_t n,
                            int32_t count, LaneKernel kernel) noexcept {
  count = std::min(count, kBlockLimit);
  if (count <= 0) return;
  const float* shared = sineTable().data();
  // Only the entries written are read: the arrays are left uninitialised.
  std::array<Oscillator*, 32> grouped;
  std::array<float*, 32> groupedBuffers;
  int32_t groupSize = 0;
  auto flush = [&] {
    for (int32_t first = 0; first < groupSize; first += LaneBlock::kLanes) {
      renderGroup(grouped.data() + first, groupedBuffers.data() + first,
                  std::min(LaneBlock::kLanes, groupSize - first), count, kernel);
    }
    groupSize = 0;
  };
  for (int32_t i = 0; i < n; ++i) {
    Oscillator& oscillator = *oscillators[i];
    // Only oscillators on the shared table fit the kernels' interpolation rows.
    if (oscillator.table != shared || oscillator.tableLength != SineTable::kPeriod) {
      oscillator.render(buffers[i], count);
      continue;
    }
    grouped[static_cast<std::size_t>(groupSize)] = &oscillator;
    groupedBuffers[static_cast<std::size_t>(groupSize)] = buffers[i];
    if (++groupSize == static_cast<int32_t>(grouped.size())) flush();
  }
  flush();
}

void OscillatorBank::loadLanes(LaneBlock& block, Oscillator* const* oscillators,
                               float* const* buffers, int32_t lanes) noexcept {
  block.rows = sineInterpolationRows();
  block.period = SineTable::kPeriod;
  block.length = static_cast<float>(SineTable::kPeriod);
  for (int32_t j = 0; j < lanes; ++j) {
    Oscillator& oscillator = *oscillators[j];
    oscillator.applyQueuedPhases();
    loadLane(block, static_cast<std::size_t>(j), oscillator);
    block.out[static_cast<std::size_t>(j)] = buffers[j];
  }
  for (int32_t j = lanes; j < LaneBlock::kLanes; ++j) {
    const auto lane = static_cast<std::size_t>(j);
    block.position[lane] = 0.0f;
    block.step[lane] = 0.0f;
    block.scale[lane] = 0.0f;
    block.level[lane] = 0.0f;
    block.out[lane] = unusedLane.data();
  }
  wrapStrayLanes(block, 0, lanes);
}

void OscillatorBank::renderGroup(Oscillator* const* oscillators, float* const* buffers,
                                 int32_t lanes, int32_t count, LaneKernel kernel) noexcept {
  LaneBlock block;
  loadLanes(block, oscillators, buffers, lanes);
  std::array<int32_t, LaneBlock::kLanes> untilStep{};
  for (int32_t j = 0; j < lanes; ++j) {
    const Oscillator& oscillator = *oscillators[j];
    untilStep[static_cast<std::size_t>(j)] =
        samplesBeforeStep(oscillator.sampleCounter, oscillator.stepLimit);
  }
  for (int32_t done = 0; done < count;) {
    int32_t run = count - done;
    for (int32_t j = 0; j < lanes; ++j) {
      const auto lane = static_cast<std::size_t>(j);
      Oscillator& oscillator = *oscillators[j];
      if (untilStep[lane] == 0) {  // a curve step before this sample; the next after 201
        oscillator.phase = block.position[lane];
        oscillator.sampleCounter = 0;
        oscillator.curveStepShared();
        loadLane(block, lane, oscillator);
        untilStep[lane] = oscillator.stepLimit + 1;
      }
      run = std::min(run, untilStep[lane]);
    }
    kernel(block, done, run);
    for (int32_t j = 0; j < lanes; ++j) untilStep[static_cast<std::size_t>(j)] -= run;
    done += run;
  }
  for (int32_t j = 0; j < lanes; ++j) {
    Oscillator& oscillator = *oscillators[j];
    oscillator.phase = block.position[static_cast<std::size_t>(j)];
    oscillator.sampleCounter = oscillator.stepLimit - untilStep[static_cast<std::size_t>(j)];
  }
}
