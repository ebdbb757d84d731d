// The reverb's line layout, per-sample network and settings.
#include "engine/Reverb.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/RenderKernels.h"

Reverb::Reverb() {
  prepare(kDesignRate,
          std::vector<float>(static_cast<std::size_t>(storageLength(kDesignRate)), 0.0f));
}

int32_t Reverb::storageLength(float rate) const noexcept {
  int32_t total = 0;
  for (int32_t length : kCombLengths) total += scaledLength(length, rate);
  for (int32_t length : kAllpassLengths) total += scaledLength(length, rate);
  return total;
}

void Reverb::reset() noexcept {
  std::fill(storage.begin(), storage.end(), 0.0f);
  for (CombFilter& comb : combs) comb.attach(comb.buffer, comb.bufferSize);
  for (AllpassFilter& allpass : allpasses) allpass.attach(allpass.buffer, allpass.bufferSize);
}

void Reverb::prepare(float rate, std::vector<float>&& fresh) noexcept {
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

// The designed update step: the values the combs take before the next block.
void Reverb::update() noexcept {
  roomSize1.store(roomSize.load());
  damp1.store(damp.load());
  gain.store(0.015f);
}

void Reverb::passSettingsToCombs() noexcept {
  const float feedback = roomSize1.load();
  const float damping = damp1.load();
  for (CombFilter& comb : combs) {
    comb.setFeedback(feedback);
    comb.setDamp(damping);
  }
}

void Reverb::processStrided(const float* in, float* out, int32_t count, int32_t stride) noexcept {
  const float inputGain = gain.load();
  const float wetLevel = wet.load();
  const float dryLevel = dry.load();
  passSettingsToCombs();
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

// A value whose scaled form overflows is ignored like a non-finite one.
void Reverb::setRoomSize(float v) noexcept {
  const float size = v * 0.28f + 0.7f;
  if (!std::isfinite(size)) return;
  roomSize.store(size);
  update();
}

void Reverb::setDamping(float v) noexcept {
  const float scaled = v * 0.4f;
  if (!std::isfinite(scaled)) return;
  damp.store(scaled);
  update();
}

void Reverb::setWet(float v) noexcept {
  const float scaled = v * 3.0f;
  if (!std::isfinite(scaled)) return;
  wet.store(scaled);
  update();
}

void Reverb::setDry(float v) noexcept {
  const float scaled = v * 2.0f;
  if (std::isfinite(scaled)) dry.store(scaled);  // the one setting without the update step
}

void Reverb::setWidth(float v) noexcept {
  if (!std::isfinite(v)) return;
  width.store(v);
  update();
}

// The combs run side by side over each piece, then the allpass chain sample by sample.
void Reverb::processBlock(const float* in, float* out, int32_t count,
                          const RenderKernels& kernels) noexcept {
  Run run(*this, kernels);
  for (int32_t first = 0; first < count; first += kPiece) {
    const int32_t n = std::min(kPiece, count - first);
    run.prepare(in + first, 0, n);
    for (int32_t k = 0; k < n; ++k) out[first + k] = run.sample(k, in[first + k]);
  }
}

Reverb::Run::Run(Reverb& owner, const RenderKernels& renderKernels) noexcept
    : reverb(owner),
      kernels(renderKernels),
      gain(owner.gain.load()),
      wet(owner.wet.load()),
      dry(owner.dry.load()) {
  owner.passSettingsToCombs();
  for (std::size_t c = 0; c < owner.combs.size(); ++c) {
    const CombFilter& comb = owner.combs[c];
    lanes.line[c] = comb.buffer;
    lanes.size[c] = comb.bufferSize;
    lanes.index[c] = comb.bufferIndex;
    lanes.store[c] = comb.filterStore;
    lanes.feedback[c] = comb.feedback;
    lanes.damp1[c] = comb.damp1;
    lanes.damp2[c] = comb.damp2;
  }
  for (std::size_t i = 0; i < owner.allpasses.size(); ++i) {
    const AllpassFilter& allpass = owner.allpasses[i];
    chain.line[i] = allpass.buffer;
    chain.size[i] = allpass.bufferSize;
    chain.index[i] = allpass.bufferIndex;
    chain.feedback[i] = allpass.feedback;
  }
}

Reverb::Run::~Run() {
  for (std::size_t c = 0; c < reverb.combs.size(); ++c) {
    reverb.combs[c].bufferIndex = lanes.index[c];
    reverb.combs[c].filterStore = lanes.store[c];
  }
  for (std::size_t i = 0; i < reverb.allpasses.size(); ++i) {
    reverb.allpasses[i].bufferIndex = chain.index[i];
  }
}

void Reverb::Run::prepare(const float* in, int32_t first, int32_t n) noexcept {
  kernels.combs(lanes, in + first, gain, sums.data() + first, n);
}
