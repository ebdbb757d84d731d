// The instrument's 237 parameter indexes and their texts: names, labels and which value-to-text
// helper shows each one. Indexes without a name or label leave the host's buffer untouched.
#pragma once

#include "host/vst2.h"

namespace parameters {

constexpr VstInt32 kOscillators = 32;

constexpr VstInt32 kMainVolume = 0;
constexpr VstInt32 kMainDetune = 1;
constexpr VstInt32 kPanelSwitchFirst = 2;  // 2-7: layer and curve kind buttons
constexpr VstInt32 kPanelSwitchLast = 7;
constexpr VstInt32 kEnvelopeCommand = 8;
constexpr VstInt32 kSelectorFirst = 9;  // 9-17: group buttons
constexpr VstInt32 kSelectorLast = 17;
constexpr VstInt32 kRoutingFirst = 18;   // + oscillator
constexpr VstInt32 kToggleFirst = 50;    // + oscillator: oscillator buttons
constexpr VstInt32 kVolumeFirst = 82;    // + oscillator
constexpr VstInt32 kPhaseFirst = 114;    // + oscillator
constexpr VstInt32 kDetuneFirst = 146;   // + oscillator
constexpr VstInt32 kDelayTime = 178;
constexpr VstInt32 kDelayFeedback = 179;
constexpr VstInt32 kDelayVolume = 180;
constexpr VstInt32 kFlangerFirst = 181;  // base delay, dry, wet, line gain, depth, rate, shape
constexpr VstInt32 kFlangerLast = 187;
constexpr VstInt32 kPhaserDepth = 188;
constexpr VstInt32 kPhaserFeedback = 189;
constexpr VstInt32 kPhaserMinFreq = 190;
constexpr VstInt32 kPhaserMaxFreq = 191;
constexpr VstInt32 kPhaserRate = 192;
constexpr VstInt32 kReverbRoomSize = 193;
constexpr VstInt32 kReverbDamping = 194;
constexpr VstInt32 kReverbWidth = 195;
constexpr VstInt32 kUnusedA = 196;
constexpr VstInt32 kReverbDry = 197;
constexpr VstInt32 kReverbWet = 198;
constexpr VstInt32 kOscSwitchFirst = 199;  // + oscillator
constexpr VstInt32 kDelaySwitch = 231;
constexpr VstInt32 kFlangerSwitch = 232;
constexpr VstInt32 kPhaserSwitch = 233;
constexpr VstInt32 kReverbSwitch = 234;
constexpr VstInt32 kUnusedB = 235;
constexpr VstInt32 kTestNote = 236;
constexpr VstInt32 kCount = 237;

constexpr bool isIndex(VstInt32 index) { return index >= 0 && index < kCount; }

// Writes the parameter's name; false (buffer untouched) for indexes without one.
bool writeName(VstInt32 index, char* text);
// Writes the parameter's label; false (buffer untouched) for indexes without one.
bool writeLabel(VstInt32 index, char* text);

enum class DisplayKind {
  none,             // empty text
  decibels,         // decibels of the value read back
  decibelsOf1600th, // decibels of the value read back / 1600
  floatText,        // the value read back as a float
};
DisplayKind displayKind(VstInt32 index);

}  // namespace parameters
