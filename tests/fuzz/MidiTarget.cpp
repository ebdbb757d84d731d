// The MIDI file reader: an accepted file gives events in time order, each a complete channel
// message, and schedules them on non-decreasing sample positions at any rate.
#include <span>

#include "overtonic-host/app/MidiFile.h"
#include "tests/fuzz/FuzzTargets.h"

namespace {

void require(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

int fuzzMidiFile(const uint8_t* data, size_t size) {
  auto file = hostapp::MidiFile::parse(std::span<const unsigned char>(data, size), "fuzz.mid");
  if (!file.ok()) {
    require(!file.error().empty());
    return 0;
  }
  const hostapp::MidiFile& midi = file.value();
  uint64_t tick = 0;
  for (const hostapp::MidiFileEvent& event : midi.events()) {
    require(event.tick >= tick);
    require(event.size >= 2 && event.size <= 3 && (event.bytes[0] & 0x80) != 0);
    require(event.fileOffset < size);
    tick = event.tick;
  }
  for (int64_t rate : {22050, 44100, 192000}) {
    int64_t frame = 0;
    for (const hostapp::TimedMidiEvent& event : midi.schedule(rate)) {
      require(event.frame >= frame);
      frame = event.frame;
    }
  }
  require(midi.lastNoteSeconds() >= 0);
  return 0;
}
