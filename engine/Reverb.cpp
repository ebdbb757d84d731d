// The reverb's line layout, per-sample network and settings.
#include "engine/Reverb.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"

Reverb::Reverb() {
  retune(kDesignRate, std::vector<float>(std::size_t(storageLength(kDesignRate)), 0.0f));
}

int32_t Reverb::storageLength(float rate) noexcept {
  int32_t total = 0;
  for (int32_t length : kCombLengths) total += scaledLength(length, rate);
  for (int32_t length : kAllpassLengths) total += scaledLength(length, rate);
  return total;
}

void Reverb::retune(float rate, std::vector<float>&& fresh) noexcept {
  storage = std::move(fresh);
  float* next = storage.data();
  for (std::size_t i = 0; i < combs.size(); ++i) {
    const int32_t length = scaledLength(kCombLengths[i], rate);
    combs[i].attach(next, length);
    next += length;
  }
  for (std::size_t i = 0; i < allpasses.size(); ++i) {
    const int32_t length = scaledLength(kAllpassLengths[i], rate);
    allpasses[i].attach(next, length);
    next += length;
  }
  update();
}

void Reverb::update() noexcept {
  roomSize1 = roomSize;
  damp1 = damp;
  gain = 0.015f;
  for (CombFilter& comb : combs) {
    comb.setFeedback(roomSize1);
    comb.setDamp(damp1);
  }
}

void Reverb::process(const float* in, float* out, int32_t count, int32_t stride) noexcept {
  const float inputGain = gain;
  const float wetLevel = wet;
  const float dryLevel = dry;
  for (int32_t k = 0; k < count; ++k) {
    const float x = *in;
    const float input = x * inputGain;
    float sum = 0.0f;
    for (CombFilter& comb : combs) sum += comb.process(input);
    float y = sum;
    for (AllpassFilter& allpass : allpasses) y = allpass.process(y);
    *out = y * wetLevel + x * dryLevel;
    in += stride;
    out += stride;
  }
}

void Reverb::setRoomSize(float v) noexcept {
  if (!std::isfinite(v)) return;
  roomSize = v * 0.28f + 0.7f;
  update();
}

void Reverb::setDamping(float v) noexcept {
  if (!std::isfinite(v)) return;
  damp = v * 0.4f;
  update();
}

void Reverb::setWet(float v) noexcept {
  if (!std::isfinite(v)) return;
  wet = v * 3.0f;
  update();
}

void Reverb::setDry(float v) noexcept {
  if (std::isfinite(v)) dry = v * 2.0f;  // the one setting without the update step
}

void Reverb::setWidth(float v) noexcept {
  if (!std::isfinite(v)) return;
  width = v;
  update();
}

void Reverb::gather(CombLanes& lanes, AllpassChain& chain) const noexcept {
  for (std::size_t c = 0; c < combs.size(); ++c) {
    const CombFilter& comb = combs[c];
    lanes.line[c] = comb.buffer;
    lanes.size[c] = comb.bufferSize;
    lanes.index[c] = comb.bufferIndex;
    lanes.store[c] = comb.filterStore;
    lanes.feedback[c] = comb.feedback;
    lanes.damp1[c] = comb.damp1;
    lanes.damp2[c] = comb.damp2;
  }
  for (std::size_t i = 0; i < allpasses.size(); ++i) {
    const AllpassFilter& allpass = allpasses[i];
    chain.line[i] = allpass.buffer;
    chain.size[i] = allpass.bufferSize;
    chain.index[i] = allpass.bufferIndex;
    chain.feedback[i] = allpass.feedback;
  }
}

void Reverb::scatter(const CombLanes& lanes, const AllpassChain& chain) noexcept {
  for (std::size_t c = 0; c < combs.size(); ++c) {
    combs[c].bufferIndex = lanes.index[c];
    combs[c].filterStore = lanes.store[c];
  }
  for (std::size_t i = 0; i < allpasses.size(); ++i) allpasses[i].bufferIndex = chain.index[i];
}

// The same network as process, run by the combs-side-by-side kernel of the path.
void Reverb::processBlock(const float* in, float* out, int32_t count, RenderPath path) noexcept {
  if (path == RenderPath::reference) {
    process(in, out, count, 1);
    return;
  }
  CombLanes lanes;
  AllpassChain chain;
  gather(lanes, chain);
  const ReverbLevels levels{gain, wet, dry};
  if (path == RenderPath::portable) {
    runReverbPortable(lanes, chain, levels, in, out, count);
  } else {
    runReverbAvx2(lanes, chain, levels, in, out, count);
  }
  scatter(lanes, chain);
}
