// What each of the 123 envelope slots addresses: a bank (amplitude, pitch, phase), a layer and a
// set of oscillators. Slots 0-95 are one oscillator's own layer 0; slots 96-122 are the nine
// oscillator groups, three banks each.
#pragma once

#include "host/vst2.h"

struct EnvelopeSlotTarget {
  VstInt32 bank;   // 0 amplitude, 1 pitch, 2 phase
  VstInt32 layer;  // 0-4
  VstInt32 firstOscillator;
  VstInt32 step;   // between addressed oscillators
  VstInt32 count;  // number of addressed oscillators
};

// The target of a slot; false for numbers outside 0-122.
bool envelopeSlotTarget(VstInt32 slot, EnvelopeSlotTarget& target);
