// Rendering through a plug-in the way a host plays it: the timeline is cut into host blocks, the
// MIDI events falling into a block are sent first as one event list with their deltaFrames inside
// the block, then processReplacing fills the block, which goes to a sink (file, meters, plot).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "host/vst2.h"
#include "overtonic-host/app/MidiFile.h"
#include "overtonic-host/lib/PluginInstance.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

// Hands out, block by block, the events of a time-ordered list as VST MIDI events.
class BlockEventQueue {
 public:
  explicit BlockEventQueue(std::span<const TimedMidiEvent> events) : events_(events) {}
  // Events with start <= frame < start + frames (earlier ones not yet taken count as frame
  // `start`), each with deltaFrames = frame - start. Blocks must be asked for in order.
  std::span<const VstMidiEvent> take(int64_t start, int32_t frames);

 private:
  std::span<const TimedMidiEvent> events_;
  size_t next = 0;
  std::vector<VstMidiEvent> block;
};

struct RenderSettings {
  int32_t blockSize = 512;
  int64_t totalFrames = 0;
};

// Receives each rendered block; an error stops the render.
using BlockSink = std::function<hostlib::Status(std::span<const float>)>;
// Told the fraction done after each block; returning false stops the render with an error.
using RenderProgress = std::function<bool(double)>;

// The instance must be started. Stops with the sink's error, or "interrupted".
hostlib::Status render(hostlib::PluginInstance& plugin, std::span<const TimedMidiEvent> events,
                       const RenderSettings& settings, const BlockSink& sink,
                       const RenderProgress& progress = {});

// Peak and RMS of everything rendered; non-finite samples are counted apart.
class SignalMeter {
 public:
  void add(std::span<const float> samples);
  double peak() const { return peak_; }
  double rms() const;
  int64_t frames() const { return frames_; }
  int64_t nonFinite() const { return nonFinite_; }

 private:
  double peak_ = 0;
  double sumOfSquares = 0;
  int64_t frames_ = 0;
  int64_t nonFinite_ = 0;
};

// "-6.02 dBFS", or "-inf dBFS" for 0.
std::string formatDecibelsFullScale(double level);

}  // namespace hostapp
