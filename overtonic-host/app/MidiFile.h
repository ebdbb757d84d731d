// Standard MIDI file reader (formats 0 and 1): channel messages with running status, tempo
// changes and the file's division (ticks per quarter note or SMPTE frames), merged across tracks
// in time order and placed on sample positions for a given rate. Every malformed byte gives an
// error naming the file, the offset and the reason; nothing is read past the data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "overtonic-host/lib/Result.h"

namespace hostapp {

// Exact tick arithmetic needs more than 64 bits (ticks x tempo x sample rate).
__extension__ typedef __int128 WideInt;

// Largest MIDI file read.
inline constexpr size_t kMaxMidiFileBytes = 64u << 20;

// One channel message of the file, at its tick, with the offset of its status in the file.
struct MidiFileEvent {
  uint64_t tick = 0;
  uint8_t bytes[3] = {};
  uint8_t size = 0;
  uint16_t track = 0;
  size_t fileOffset = 0;
};

struct TempoChange {
  uint64_t tick = 0;
  uint32_t microsPerQuarter = 500000;
};

// A channel message placed on the output's timeline.
struct TimedMidiEvent {
  int64_t frame = 0;
  uint8_t bytes[3] = {};
  uint8_t size = 0;
};

class MidiFile {
 public:
  static hostlib::Result<MidiFile> read(const std::string& path);
  // `name` is used in error messages.
  static hostlib::Result<MidiFile> parse(std::span<const unsigned char> data,
                                         const std::string& name);

  int format() const { return format_; }
  int trackCount() const { return trackCount_; }
  const std::vector<MidiFileEvent>& events() const { return events_; }  // merged, time order
  const std::vector<TempoChange>& tempos() const { return tempos_; }

  double secondsAt(uint64_t tick) const;
  // Rounded to the nearest sample at `sampleRate` Hz, computed exactly in integers.
  int64_t frameAt(uint64_t tick, int64_t sampleRate) const;
  // Seconds of the last note on/off, or of the last channel message when there are no notes.
  double lastNoteSeconds() const;

  std::vector<TimedMidiEvent> schedule(int64_t sampleRate) const;

 private:
  friend class MidiParser;

  // Time since tick 0 as numerator / denominator microseconds.
  struct ExactTime {
    WideInt numerator;
    WideInt denominator;
  };
  ExactTime exactMicros(uint64_t tick) const;
  void buildTempoMap();

  int format_ = 0;
  int trackCount_ = 0;
  uint16_t ticksPerQuarter = 0;  // 0 for SMPTE timing
  int smpteFramesPerSecond = 0;  // 24, 25, 29 (29.97 drop frame) or 30
  int ticksPerFrame = 0;
  std::vector<MidiFileEvent> events_;
  std::vector<TempoChange> tempos_;
  std::vector<WideInt> tempoStart;  // ticks x microseconds per quarter up to each tempo change
};

}  // namespace hostapp
