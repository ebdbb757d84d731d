// The delay line's processing and its time setting.
#include "engine/Delay.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

Delay::Delay()
    : buffer(static_cast<std::size_t>(lineLength(kDesignRate)), 0.0f),
      restartPosition(static_cast<int32_t>(kDesignRate)),
      writePosition(static_cast<int32_t>(kDesignRate)),
      size(lineLength(kDesignRate)) {}

int32_t Delay::lineLength(float rate) noexcept { return 2 * static_cast<int32_t>(rate); }

int32_t Delay::storageLength(float rate) const noexcept { return lineLength(rate); }

void Delay::prepare(float rate, std::vector<float>&& line) noexcept {
  buffer = std::move(line);
  size = static_cast<int32_t>(buffer.size());
  restartPosition = static_cast<int32_t>(rate) % size;
  restart();
}

void Delay::reset() noexcept {
  std::fill(buffer.begin(), buffer.end(), 0.0f);
  restart();
}

void Delay::restart() noexcept {
  writePosition = restartPosition;
  appliedTimeSettings = loadShared(timeSettings);
  readPosition = readPositionFor(loadShared(time), writePosition);
}

void Delay::applyTimeSetting() noexcept {
  const uint32_t settings = loadShared(timeSettings);
  if (settings == appliedTimeSettings) return;
  appliedTimeSettings = settings;
  readPosition = readPositionFor(loadShared(time), writePosition);
}

void Delay::processSamples(const float* in, float* out, int32_t count) noexcept {
  Run run(*this);
  for (int32_t k = 0; k < count; ++k) out[k] = run.sample(in[k]);
}

Delay::Run::Run(Delay& owner) noexcept
    : delay(owner),
      line(owner.buffer.data()),
      last(owner.size - 1),
      gain(owner.level.load()),
      loop(owner.feedback.load()),
      write(owner.writePosition) {
  owner.applyTimeSetting();  // a time set since the last block moves the read position first
  read = owner.readPosition;
}

Delay::Run::~Run() {
  delay.readPosition = read;
  delay.writePosition = write;
}

// Setter side: the read position moves when the render next starts a block.
void Delay::setTime(float v) noexcept {
  if (!std::isfinite(v)) return;
  storeShared(time, v);
  storeShared(timeSettings, loadShared(timeSettings) + 1);
}

float Delay::getTime() const noexcept { return loadShared(time); }

// Inside the designed range a single correction brings the position into the line; any other
// finite v is reduced modulo the line.
int32_t Delay::readPositionFor(float v, int32_t write) const noexcept {
  const float length = static_cast<float>(size);
  const float position = static_cast<float>(write) - length * v;
  if (position >= -length && position < 2.0f * length) {
    int32_t read = static_cast<int32_t>(position);
    if (read > size - 1) read -= size;
    if (read < 0) read += size;
    return read;
  }
  double wrapped =
      std::fmod(static_cast<double>(write) - static_cast<double>(size) * static_cast<double>(v),
                static_cast<double>(size));
  if (wrapped < 0.0) wrapped += static_cast<double>(size);
  const int32_t read = static_cast<int32_t>(wrapped);
  return read >= size ? 0 : read;
}
