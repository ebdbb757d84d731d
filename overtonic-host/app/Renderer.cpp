// Block-wise rendering with sample-accurate event placement, and the level meter.
#include "overtonic-host/app/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hostapp {

using hostlib::fail;
using hostlib::Status;

std::span<const VstMidiEvent> BlockEventQueue::take(int64_t start, int32_t frames) {
  block.clear();
  const int64_t end = start + frames;
  while (next < events_.size() && events_[next].frame < end) {
    const TimedMidiEvent& timed = events_[next++];
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = static_cast<VstInt32>(std::max<int64_t>(timed.frame - start, 0));
    for (uint8_t i = 0; i < timed.size && i < 3; ++i)
      event.midiData[i] = static_cast<char>(timed.bytes[i]);
    block.push_back(event);
  }
  return block;
}

Status render(hostlib::PluginInstance& plugin, std::span<const TimedMidiEvent> events,
              const RenderSettings& settings, const BlockSink& sink,
              const RenderProgress& progress) {
  if (settings.blockSize <= 0) return fail("block size must be positive");
  BlockEventQueue queue(events);
  std::vector<float> block(static_cast<size_t>(settings.blockSize));
  for (int64_t start = 0; start < settings.totalFrames; start += settings.blockSize) {
    const auto frames =
        static_cast<int32_t>(std::min<int64_t>(settings.blockSize, settings.totalFrames - start));
    const std::span<const VstMidiEvent> blockEvents = queue.take(start, frames);
    if (!blockEvents.empty()) plugin.sendEvents(blockEvents);
    plugin.processReplacing(block.data(), frames);
    if (Status s = sink(std::span<const float>(block.data(), static_cast<size_t>(frames))); !s)
      return s;
    const double done =
        static_cast<double>(start + frames) / static_cast<double>(settings.totalFrames);
    if (progress && !progress(done)) return fail("interrupted");
  }
  return {};
}

void SignalMeter::add(std::span<const float> samples) {
  for (float sample : samples) {
    if (!std::isfinite(sample)) {
      ++nonFinite_;
      continue;
    }
    const double value = sample;
    peak_ = std::max(peak_, std::fabs(value));
    sumOfSquares += value * value;
  }
  frames_ += static_cast<int64_t>(samples.size());
}

double SignalMeter::rms() const {
  const int64_t counted = frames_ - nonFinite_;
  return counted > 0 ? std::sqrt(sumOfSquares / static_cast<double>(counted)) : 0.0;
}

std::string formatDecibelsFullScale(double level) {
  if (!(level > 0)) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", 20.0 * std::log10(level));
  return text;
}

}  // namespace hostapp
