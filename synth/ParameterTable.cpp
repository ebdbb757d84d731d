// Parameter texts. The blanks around names and labels are part of the texts hosts show and
// store; they are kept exactly.
#include "synth/ParameterTable.h"

#include <cstdio>
#include <cstring>

namespace parameters {
namespace {

struct FixedText {
  VstInt32 first;
  VstInt32 last;
  const char* text;
};

constexpr FixedText kNames[] = {
    {kMainVolume, kMainVolume, " Main Volume "},
    {kMainDetune, kMainDetune, " Main Detune "},
    {kDelayTime, kDelayTime, " Delay Time "},
    {kDelayFeedback, kDelayFeedback, " Delay Feedb."},
    {kDelayVolume, kDelayVolume, " Delay Vol "},
    {181, 181, " Flanger Delay "},
    {182, 182, " Flanger Dry Vol "},
    {183, 187, " Flanger "},
};

// Per-oscillator names: prefix, oscillator number from 1, suffix.
struct OscillatorName {
  VstInt32 first;
  const char* suffix;
};

constexpr OscillatorName kOscillatorNames[] = {
    {kVolumeFirst, " Vol"},
    {kPhaseFirst, " Phase "},
    {kDetuneFirst, " Detune "},
};

constexpr FixedText kLabels[] = {
    {kMainVolume, kMainVolume, "   dB   "},
    {kVolumeFirst, kVolumeFirst + kOscillators - 1, "   dB   "},
    {kDelayVolume, 187, "   dB   "},
    {kMainDetune, kMainDetune, "   Hz   "},
    {kDetuneFirst, kDetuneFirst + kOscillators - 1, "   Hz   "},
    {kPhaseFirst, kPhaseFirst + kOscillators - 1, "   Phase   "},
    {kDelayTime, kDelayTime, "   Time   "},
    {kDelayFeedback, kDelayFeedback, "   Feedback   "},
};

template <size_t N>
const char* findText(const FixedText (&table)[N], VstInt32 index) {
  for (const FixedText& entry : table) {
    if (index >= entry.first && index <= entry.last) return entry.text;
  }
  return nullptr;
}

}  // namespace

bool writeName(VstInt32 index, char* text) {
  if (!text) return false;
  if (const char* fixed = findText(kNames, index)) {
    std::strcpy(text, fixed);
    return true;
  }
  for (const OscillatorName& group : kOscillatorNames) {
    if (index >= group.first && index < group.first + kOscillators) {
      std::sprintf(text, " Osc%d%s", index - group.first + 1, group.suffix);
      return true;
    }
  }
  return false;
}

bool writeLabel(VstInt32 index, char* text) {
  if (!text) return false;
  const char* label = findText(kLabels, index);
  if (!label) return false;
  std::strcpy(text, label);
  return true;
}

DisplayKind displayKind(VstInt32 index) {
  if (index == kMainDetune) return DisplayKind::floatText;
  if (index == kPhaserMinFreq || index == kPhaserMaxFreq) return DisplayKind::decibelsOf1600th;
  const bool decibels = index == kMainVolume ||
                        (index >= kVolumeFirst && index <= kPhaserFeedback) ||
                        (index >= kPhaserRate && index <= kReverbWidth) ||
                        (index >= kReverbDry && index <= kReverbSwitch);
  return decibels ? DisplayKind::decibels : DisplayKind::none;
}

}  // namespace parameters
