// The delay line's processing and its time setting.
#include "engine/Delay.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

Delay::Delay()
    : buffer_(static_cast<std::size_t>(lineLength(kDesignRate)), 0.0f),
      restartPosition_(static_cast<int32_t>(kDesignRate)),
      writePosition_(static_cast<int32_t>(kDesignRate)),
      size_(lineLength(kDesignRate)) {}

int32_t Delay::lineLength(float rate) noexcept { return 2 * static_cast<int32_t>(rate); }

int32_t Delay::storageLength(float rate) const noexcept { return lineLength(rate); }

void Delay::prepare(float rate, std::vector<float>&& line) noexcept {
  buffer_ = std::move(line);
  size_ = static_cast<int32_t>(buffer_.size());
  restartPosition_ = static_cast<int32_t>(rate) % size_;
  restart();
}

void Delay::reset() noexcept {
  std::fill(buffer_.begin(), buffer_.end(), 0.0f);
  restart();
}

void Delay::restart() noexcept {
  writePosition_ = restartPosition_;
  appliedTimeSettings_ = loadShared(timeSettings_);
  readPosition_ = readPositionFor(loadShared(time_), writePosition_);
}

void Delay::applyTimeSetting() noexcept {
  const uint32_t settings = loadShared(timeSettings_);
  if (settings == appliedTimeSettings_) return;
  appliedTimeSettings_ = settings;
  readPosition_ = readPositionFor(loadShared(time_), writePosition_);
}

void Delay::processSamples(const float* in, float* out, int32_t count) noexcept {
  Run run(*this);
  for (int32_t k = 0; k < count; ++k) out[k] = run.sample(in[k]);
}

Delay::Run::Run(Delay& owner) noexcept
    : delay_(owner),
      line_(owner.buffer_.data()),
      last_(owner.size_ - 1),
      gain_(owner.level_.load()),
      loop_(owner.feedback_.load()),
      write_(owner.writePosition_) {
  owner.applyTimeSetting();  // a time set since the last block moves the read position first
  read_ = owner.readPosition_;
}

Delay::Run::~Run() {
  delay_.readPosition_ = read_;
  delay_.writePosition_ = write_;
}

// Setter side: the read position moves when the render next starts a block.
void Delay::setTime(float v) noexcept {
  if (!std::isfinite(v)) return;
  storeShared(time_, v);
  storeShared(timeSettings_, loadShared(timeSettings_) + 1);
}

float Delay::getTime() const noexcept { return loadShared(time_); }

// Inside the designed range a single correction brings the position into the line; any other
// finite v is reduced modulo the line.
int32_t Delay::readPositionFor(float v, int32_t write) const noexcept {
  const float length = static_cast<float>(size_);
  const float position = static_cast<float>(write) - length * v;
  if (position >= -length && position < 2.0f * length) {
    int32_t read = static_cast<int32_t>(position);
    if (read > size_ - 1) read -= size_;
    if (read < 0) read += size_;
    return read;
  }
  double wrapped = std::fmod(static_cast<double>(write) - static_cast<double>(size_) * static_cast<double>(v), static_cast<double>(size_));
  if (wrapped < 0.0) wrapped += static_cast<double>(size_);
  const int32_t read = static_cast<int32_t>(wrapped);
  return read >= size_ ? 0 : read;
}
