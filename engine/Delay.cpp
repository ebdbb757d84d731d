// The delay line's processing and its time setting.
#include "engine/Delay.h"

#include <cmath>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"

Delay::Delay()
    : buffer(std::size_t(lineLength(kDesignRate)), 0.0f),
      writePosition(int32_t(kDesignRate)),
      size(lineLength(kDesignRate)) {}

int32_t Delay::lineLength(float rate) noexcept { return 2 * int32_t(rate); }

void Delay::retune(float rate, std::vector<float>&& line) noexcept {
  buffer = std::move(line);
  size = int32_t(buffer.size());
  writePosition = int32_t(rate) % size;
  readPosition = 0;
  setTime(time);
}

void Delay::process(const float* in, float* out, int32_t count) noexcept {
  float* line = buffer.data();
  const int32_t last = size - 1;
  const float gain = level;
  const float loop = feedback;
  int32_t read = readPosition;
  int32_t write = writePosition;
  for (int32_t k = 0; k < count; ++k) {
    const float x = in[k];
    const float d = line[read] * gain;
    line[write] = finiteOrZero(x + d * loop);
    read = read == last ? 0 : read + 1;
    write = write == last ? 0 : write + 1;
    out[k] = x + d;
  }
  readPosition = read;
  writePosition = write;
}

// The read position trails the write position by size × v samples. Inside the designed range a
// single correction brings it into the line; any other finite v is reduced modulo the line.
void Delay::setTime(float v) noexcept {
  if (!std::isfinite(v)) return;
  const int32_t write = writePosition;
  const float length = float(size);
  const float position = float(write) - length * v;
  int32_t read;
  if (position >= -length && position < 2.0f * length) {
    read = int32_t(position);
    if (read > size - 1) read -= size;
    if (read < 0) read += size;
  } else {
    double wrapped = std::fmod(double(write) - double(size) * double(v), double(size));
    if (wrapped < 0.0) wrapped += double(size);
    read = int32_t(wrapped);
    if (read >= size) read = 0;
  }
  readPosition = read;
  time = v;
}
