// The reverb's line layout, per-sample network and settings.
#include "engine/Reverb.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/RenderKernels.h"

Reverb::Reverb() {
  prepare(kDesignRate, std::vector<float>(static_cast<std::size_t>(storageLength(kDesignRate)), 0.0f));
}

int32_t Reverb::storageLength(float rate) const noexcept {
  int32_t total = 0;
  for (int32_t length : kCombLengths) total += scaledLength(length, rate);
  for (int32_t length : kAllpassLengths) total += scaledLength(length, rate);
  return total;
}

void Reverb::reset() noexcept {
  std::fill(storage_.begin(), storage_.end(), 0.0f);
  for (CombFilter& comb : combs_) comb.attach(comb.buffer_, comb.bufferSize_);
  for (AllpassFilter& allpass : allpasses_) allpass.attach(allpass.buffer_, allpass.bufferSize_);
}

void Reverb::prepare(float rate, std::vector<float>&& fresh) noexcept {
  storage_ = std::move(fresh);
  float* next = storage_.data();
  for (std::size_t i = 0; i < combs_.size(); ++i) {
    const int32_t length = scaledLength(kCombLengths[i], rate);
    combs_[i].attach(next, length);
    next += length;
  }
  for (std::size_t i = 0; i < allpasses_.size(); ++i) {
    const int32_t length = scaledLength(kAllpassLengths[i], rate);
    allpasses_[i].attach(next, length);
    next += length;
  }
  update();
}

// The designed update step: the values the combs take before the next block.
void Reverb::update() noexcept {
  roomSize1_.store(roomSize_.load());
  damp1_.store(damp_.load());
  gain_.store(0.015f);
}

void Reverb::passSettingsToCombs() noexcept {
  const float feedback = roomSize1_.load();
  const float damping = damp1_.load();
  for (CombFilter& comb : combs_) {
    comb.setFeedback(feedback);
    comb.setDamp(damping);
  }
}

void Reverb::processStrided(const float* in, float* out, int32_t count,
                            int32_t stride) noexcept {
  const float inputGain = gain_.load();
  const float wetLevel = wet_.load();
  const float dryLevel = dry_.load();
  passSettingsToCombs();
  for (int32_t k = 0; k < count; ++k) {
    const float x = *in;
    const float input = x * inputGain;
    float sum = 0.0f;
    for (CombFilter& comb : combs_) sum += comb.process(input);
    float y = sum;
    for (AllpassFilter& allpass : allpasses_) y = allpass.process(y);
    *out = y * wetLevel + x * dryLevel;
    in += stride;
    out += stride;
  }
}

// A value whose scaled form overflows is ignored like a non-finite one.
void Reverb::setRoomSize(float v) noexcept {
  const float size = v * 0.28f + 0.7f;
  if (!std::isfinite(size)) return;
  roomSize_.store(size);
  update();
}

void Reverb::setDamping(float v) noexcept {
  const float scaled = v * 0.4f;
  if (!std::isfinite(scaled)) return;
  damp_.store(scaled);
  update();
}

void Reverb::setWet(float v) noexcept {
  const float scaled = v * 3.0f;
  if (!std::isfinite(scaled)) return;
  wet_.store(scaled);
  update();
}

void Reverb::setDry(float v) noexcept {
  const float scaled = v * 2.0f;
  if (std::isfinite(scaled)) dry_.store(scaled);  // the one setting without the update step
}

void Reverb::setWidth(float v) noexcept {
  if (!std::isfinite(v)) return;
  width_.store(v);
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
    : reverb_(owner),
      kernels_(renderKernels),
      gain_(owner.gain_.load()),
      wet_(owner.wet_.load()),
      dry_(owner.dry_.load()) {
  owner.passSettingsToCombs();
  for (std::size_t c = 0; c < owner.combs_.size(); ++c) {
    const CombFilter& comb = owner.combs_[c];
    lanes_.line[c] = comb.buffer_;
    lanes_.size[c] = comb.bufferSize_;
    lanes_.index[c] = comb.bufferIndex_;
    lanes_.store[c] = comb.filterStore_;
    lanes_.feedback[c] = comb.feedback_;
    lanes_.damp1[c] = comb.damp1_;
    lanes_.damp2[c] = comb.damp2_;
  }
  for (std::size_t i = 0; i < owner.allpasses_.size(); ++i) {
    const AllpassFilter& allpass = owner.allpasses_[i];
    chain_.line[i] = allpass.buffer_;
    chain_.size[i] = allpass.bufferSize_;
    chain_.index[i] = allpass.bufferIndex_;
    chain_.feedback[i] = allpass.feedback_;
  }
}

Reverb::Run::~Run() {
  for (std::size_t c = 0; c < reverb_.combs_.size(); ++c) {
    reverb_.combs_[c].bufferIndex_ = lanes_.index[c];
    reverb_.combs_[c].filterStore_ = lanes_.store[c];
  }
  for (std::size_t i = 0; i < reverb_.allpasses_.size(); ++i) {
    reverb_.allpasses_[i].bufferIndex_ = chain_.index[i];
  }
}

void Reverb::Run::prepare(const float* in, int32_t first, int32_t n) noexcept {
  kernels_.combs(lanes_, in + first, gain_, sums_.data() + first, n);
}
