// Program records: defaults, copying, and the map from parameter index to stored field.
#include "synth/ProgramRecord.h"

#include <cstring>

#include "synth/ParameterTable.h"

namespace {

// Word of the first panel run for indexes 2-7, and of the third run for indexes 9-17.
constexpr int kSwitchWord[6] = {1, 0, 2, 4, 3, 5};
constexpr int kSelectorWord[9] = {1, 0, 2, 3, 4, 5, 6, 7, 8};

template <typename Values>
auto* findPanelValue(Values& values, VstInt32 index) {
  using namespace parameters;
  decltype(&values.switches[0]) none = nullptr;
  if (index >= kPanelSwitchFirst && index <= kPanelSwitchLast) {
    return &values.switches[static_cast<size_t>(kSwitchWord[index - kPanelSwitchFirst])];
  }
  if (index >= kSelectorFirst && index <= kSelectorLast) {
    return &values.selectors[static_cast<size_t>(kSelectorWord[index - kSelectorFirst])];
  }
  if (index >= kToggleFirst && index < kToggleFirst + kOscillators) {
    return &values.toggles[static_cast<size_t>(index - kToggleFirst)];
  }
  return none;
}

template <typename Record>
auto* findField(Record& r, VstInt32 index) {
  using namespace parameters;
  decltype(&r.mainVolume) none = nullptr;
  auto at = [](auto& array, VstInt32 offset) { return &array[static_cast<size_t>(offset)]; };
  if (auto* panelValue = r.panel.find(index)) return panelValue;
  if (index >= kRoutingFirst && index < kRoutingFirst + kOscillators) return at(r.routing, index - kRoutingFirst);
  if (index >= kVolumeFirst && index < kVolumeFirst + kOscillators) return at(r.oscVolume, index - kVolumeFirst);
  if (index >= kPhaseFirst && index < kPhaseFirst + kOscillators) return at(r.oscPhase, index - kPhaseFirst);
  if (index >= kDetuneFirst && index < kDetuneFirst + kOscillators) return at(r.oscDetune, index - kDetuneFirst);
  if (index >= kOscSwitchFirst && index < kOscSwitchFirst + kOscillators) return at(r.oscSwitch, index - kOscSwitchFirst);
  if (index >= kFlangerFirst && index <= kFlangerLast) return at(r.flanger, index - kFlangerFirst);
  if (index >= kDelaySwitch && index <= kReverbSwitch) return at(r.effectSwitch, index - kDelaySwitch);
  switch (index) {
    case kMainVolume: return &r.mainVolume;
    case kMainDetune: return &r.mainDetune;
    case kDelayTime: return &r.delayTime;
    case kDelayFeedback: return &r.delayFeedback;
    case kDelayVolume: return &r.delayVolume;
    case kPhaserDepth: return &r.phaserDepth;
    case kPhaserFeedback: return &r.phaserFeedback;
    case kPhaserMinFreq: return &r.phaserMinFreq;
    case kPhaserMaxFreq: return &r.phaserMaxFreq;
    case kPhaserRate: return &r.phaserRate;
    case kReverbRoomSize: return &r.reverbRoomSize;
    case kReverbDamping: return &r.reverbDamping;
    case kReverbWidth: return &r.reverbWidth;
    case kReverbDry: return &r.reverbDry;
    case kReverbWet: return &r.reverbWet;
    default: return none;
  }
}

}  // namespace

float* PanelSwitchValues::find(VstInt32 index) { return findPanelValue(*this, index); }
const float* PanelSwitchValues::find(VstInt32 index) const { return findPanelValue(*this, index); }

ProgramRecord::ProgramRecord()
    : mainDetune(0.5f),
      mainVolume(0.9f),
      envelopes(std::make_unique<EnvelopeTable>()),
      delayVolume(0.5f),
      delayFeedback(0.3f),
      delayTime(0.5f),
      flanger{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f},
      phaserDepth(0.5f),
      phaserMinFreq(0.5f),
      phaserMaxFreq(0.5f),
      phaserFeedback(0.5f),
      phaserRate(0.5f),
      reverbRoomSize(0.5f),
      reverbDamping(0.5f),
      reverbWidth(0.5f),
      reverbDry(0.5f),
      reverbWet(0.5f),
      // Effects start off, matching the panel, whose switches start dark.
      effectSwitch{0.0f, 0.0f, 0.0f, 0.0f},
      panel{{0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}, {}, {}},
      name{} {
  routing.fill(0.0f);
  oscVolume.fill(0.0f);
  oscPhase.fill(0.5f);
  oscDetune.fill(0.5f);
  for (EnvelopeCurve& points : *envelopes) points.fill(0.0f);
  for (size_t i = 0; i < oscSwitch.size(); ++i) oscSwitch[i] = i < 16 ? 1.0f : 0.0f;
  panel.toggles.fill(0.0f);
  panel.toggles[0] = 1.0f;
  panel.selectors.fill(0.0f);
  std::strcpy(name, "Basic");
}

ProgramRecord::~ProgramRecord() = default;

ProgramRecord& ProgramRecord::operator=(const ProgramRecord& other) {
  if (this == &other) return *this;
  routing = other.routing;
  mainDetune = other.mainDetune;
  mainVolume = other.mainVolume;
  oscVolume = other.oscVolume;
  oscPhase = other.oscPhase;
  oscDetune = other.oscDetune;
  *envelopes = *other.envelopes;
  delayVolume = other.delayVolume;
  delayFeedback = other.delayFeedback;
  delayTime = other.delayTime;
  flanger = other.flanger;
  phaserDepth = other.phaserDepth;
  phaserMinFreq = other.phaserMinFreq;
  phaserMaxFreq = other.phaserMaxFreq;
  phaserFeedback = other.phaserFeedback;
  phaserRate = other.phaserRate;
  reverbRoomSize = other.reverbRoomSize;
  reverbDamping = other.reverbDamping;
  reverbWidth = other.reverbWidth;
  reverbDry = other.reverbDry;
  reverbWet = other.reverbWet;
  oscSwitch = other.oscSwitch;
  effectSwitch = other.effectSwitch;
  panel = other.panel;
  std::memcpy(name, other.name, sizeof name);
  return *this;
}

float* ProgramRecord::fieldFor(VstInt32 index) { return findField(*this, index); }
const float* ProgramRecord::fieldFor(VstInt32 index) const { return findField(*this, index); }
