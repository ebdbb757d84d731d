// One MIDI message as a host hands it to the plug-in, for the tests that play notes.
#pragma once

#include "host/vst2.h"

namespace midi_message {

// A three-byte message at `deltaFrames` into the coming block.
inline VstMidiEvent event(int status, int data1, int data2 = 0, VstInt32 deltaFrames = 0) {
  VstMidiEvent midi{};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof(VstMidiEvent);
  midi.deltaFrames = deltaFrames;
  midi.midiData[0] = static_cast<char>(status);
  midi.midiData[1] = static_cast<char>(data1);
  midi.midiData[2] = static_cast<char>(data2);
  return midi;
}

}  // namespace midi_message
