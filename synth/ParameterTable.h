// The instrument's 237 parameters, described once. Each row of kParameterRuns gives a run of
// indexes every fact a host, a program, the engine and the panel need: name, label, display
// kind, program field and default, engine setter and read-back, and how the panel passes a
// control's change on. Setting, reading and naming a parameter, a program record's field map,
// defaults and copy, program selection and the editor's tag classification all walk this table.
// Indexes without a name or label leave the host's buffer untouched.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <utility>

#include "engine/SynthEngine.h"
#include "host/vst2.h"
#include "synth/ProgramRecord.h"

namespace parameters {

constexpr VstInt32 kOscillators = 32;

constexpr VstInt32 kMainVolume = 0;
constexpr VstInt32 kMainDetune = 1;
constexpr VstInt32 kPanelSwitchFirst = 2;  // 2-7: layer and curve kind buttons
constexpr VstInt32 kPanelSwitchLast = 7;
constexpr VstInt32 kEnvelopeCommand = 8;
constexpr VstInt32 kSelectorFirst = 9;  // 9-17: group buttons
constexpr VstInt32 kSelectorLast = 17;
constexpr VstInt32 kRoutingFirst = 18;  // + oscillator
constexpr VstInt32 kToggleFirst = 50;   // + oscillator: oscillator buttons
constexpr VstInt32 kVolumeFirst = 82;   // + oscillator
constexpr VstInt32 kPhaseFirst = 114;   // + oscillator
constexpr VstInt32 kDetuneFirst = 146;  // + oscillator
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
constexpr VstInt32 kUnusedB = 235;  // the panel's Reset button; no value of its own
constexpr VstInt32 kTestNote = 236;
constexpr VstInt32 kCount = 237;

constexpr bool isIndex(VstInt32 index) { return index >= 0 && index < kCount; }

// A run of consecutive parameter indexes (and panel tags: a control's tag is its index).
struct IndexRange {
  VstInt32 first;
  VstInt32 count;

  constexpr VstInt32 last() const { return first + count - 1; }
  constexpr bool contains(VstInt32 index) const { return index >= first && index - first < count; }
  // The index `offset` places into the run (for the per-oscillator runs: of oscillator `offset`).
  constexpr VstInt32 at(VstInt32 offset) const { return first + offset; }
};

// The runs the panel lays out, by what the controls show. Per-oscillator runs hold 32 indexes in
// oscillator order.
constexpr IndexRange kMainSettings{kMainVolume, 2};        // 0 volume, 1 detune
constexpr IndexRange kLayerButtons{kPanelSwitchFirst, 3};  // 2 volume, 3 detune, 4 phase layer
constexpr IndexRange kCurveKindButtons{5, 3};              // 5 volume, 6 detune, 7 phase curves
constexpr IndexRange kGroupButtons{kSelectorFirst, 9};     // 9-17, see EnvelopeSlots.h
constexpr IndexRange kRoutingSwitches{kRoutingFirst, kOscillators};
constexpr IndexRange kOscillatorButtons{kToggleFirst, kOscillators};
constexpr IndexRange kVolumeBars{kVolumeFirst, kOscillators};
constexpr IndexRange kPhaseBars{kPhaseFirst, kOscillators};
constexpr IndexRange kDetuneBars{kDetuneFirst, kOscillators};
constexpr IndexRange kDelaySettings{kDelayTime, 3};        // time, feedback, volume
constexpr IndexRange kFlangerSettings{kFlangerFirst, 7};   // delay ... sweep shape
constexpr IndexRange kPhaserSettings{kPhaserDepth, 5};     // depth, feedback, min, max, rate
constexpr IndexRange kReverbSettings{kReverbRoomSize, 6};  // room, damping, width, -, dry, wet
constexpr IndexRange kOscillatorSwitches{kOscSwitchFirst, kOscillators};
constexpr IndexRange kEffectSwitches{kDelaySwitch, 4};  // delay, flanger, phaser, reverb

enum class NameKind : std::uint8_t {
  none,           // the host's buffer is left alone
  fixed,          // the text as it stands
  perOscillator,  // " Osc" + oscillator number from 1 + the text
};

enum class DisplayKind : std::uint8_t {
  none,              // empty text
  decibels,          // decibels of the value read back
  decibelsOf1600th,  // decibels of the value read back / 1600
  floatText,         // the value read back as a float
};

// Where a parameter's live value is and what setting it does.
enum class LiveValue : std::uint8_t {
  engine,           // an engine setting, read back through the engine
  panelSwitch,      // a value only the panel interprets, kept by the core
  envelopeCommand,  // a curve transfer (the final instrument class runs it); reads 0
  testNote,         // below 0.5 starts note 64, else ends the note; reads 0
  none,             // ignored; reads 0
};

// How the editor passes on a change of the control with this tag.
enum class PanelRole : std::uint8_t {
  automated,        // set on the plug-in and reported to the host as automation
  routing,          // set on the plug-in only (the host is not told)
  curveEditor,      // the envelope command with the editor's slot
  layerButton,      // panel bookkeeping; the frame is redrawn
  curveKindButton,  // panel bookkeeping; the frame is redrawn
  selectionButton,  // panel bookkeeping; the frame is redrawn
  resetButton,      // panel bookkeeping; the frame is redrawn
  none,             // no control
};

// A run's place in a program record and its default there: `value` for the first `leading`
// indexes of the run, 0.0 for the rest. Panel switches live in the record's `panel` runs, which
// have the same layout as the core's live panel values.
using RecordField = float* (*)(ProgramRecord& record, VstInt32 offset);
using PanelField = float* (*)(PanelSwitchValues& values, VstInt32 offset);
struct ProgramStorage {
  RecordField field = nullptr;
  PanelField panel = nullptr;
  float value = 0.0f;
  VstInt32 leading = kOscillators;

  constexpr float defaultAt(VstInt32 offset) const { return offset < leading ? value : 0.0f; }
};

// The engine's setter and read-back of a run (the offset is the oscillator of per-oscillator
// runs).
struct EngineAccess {
  void (*set)(SynthEngine& engine, VstInt32 offset, float value) = nullptr;
  float (*get)(const SynthEngine& engine, VstInt32 offset) = nullptr;
};

struct ParameterRun {
  IndexRange indexes;
  NameKind nameKind;
  const char* name;   // the fixed name or the per-oscillator suffix
  const char* label;  // null: none
  DisplayKind display;
  ProgramStorage program;
  EngineAccess engine;
  LiveValue live;
  PanelRole panelRole;

  // The program field of the index `offset` places into the run; null when it is not stored.
  float* fieldIn(ProgramRecord& record, VstInt32 offset) const {
    if (program.field) return program.field(record, offset);
    return program.panel ? program.panel(record.panel, offset) : nullptr;
  }
};

// How the rows are written.
namespace table {

// The record's field `Member` (a float), or its element First + offset (an array).
template <auto Member, VstInt32 First = 0>
constexpr RecordField recordField() {
  using Field = std::remove_cvref_t<decltype(std::declval<ProgramRecord&>().*Member)>;
  if constexpr (std::is_same_v<Field, float>) {
    return [](ProgramRecord& r, VstInt32) { return &(r.*Member); };
  } else {
    return [](ProgramRecord& r, VstInt32 k) {
      return &(r.*Member)[static_cast<std::size_t>(First + k)];
    };
  }
}

// Word Word + offset of the panel run `Member`.
template <auto Member, VstInt32 Word>
constexpr PanelField panelField() {
  return [](PanelSwitchValues& v, VstInt32 k) {
    return &(v.*Member)[static_cast<std::size_t>(Word + k)];
  };
}

// An engine setting with its read-back, for one value or one per oscillator.
template <auto Set, auto Get>
constexpr EngineAccess engineSetting() {
  if constexpr (std::is_invocable_v<decltype(Set), SynthEngine&, float>) {
    return {[](SynthEngine& e, VstInt32, float v) { (e.*Set)(v); },
            [](const SynthEngine& e, VstInt32) { return (e.*Get)(); }};
  } else {
    return {[](SynthEngine& e, VstInt32 k, float v) { (e.*Set)(k, v); },
            [](const SynthEngine& e, VstInt32 k) { return (e.*Get)(k); }};
  }
}

inline constexpr char kDb[] = "   dB   ";
inline constexpr char kHz[] = "   Hz   ";

using R = ProgramRecord;
using E = SynthEngine;
using P = PanelSwitchValues;

// A run stored in record field `Member` (from element `First`) and applied through the engine's
// `Set`, read back through `Get`; its default is `value` for the first `leading` indexes.
template <auto Member, VstInt32 First, auto Set, auto Get>
constexpr ParameterRun setting(IndexRange indexes, NameKind nameKind, const char* name,
                               const char* label, DisplayKind display, float value,
                               VstInt32 leading = kOscillators,
                               PanelRole role = PanelRole::automated) {
  return {indexes,
          nameKind,
          name,
          label,
          display,
          {recordField<Member, First>(), nullptr, value, leading},
          engineSetting<Set, Get>(),
          LiveValue::engine,
          role};
}

// A panel-switch run: words `Word`... of one of the record's panel runs.
template <auto Member, VstInt32 Word>
constexpr ParameterRun panelSwitch(IndexRange indexes, float value, VstInt32 leading,
                                   PanelRole role) {
  return {indexes, NameKind::none,         nullptr,
          nullptr, DisplayKind::none,      {nullptr, panelField<Member, Word>(), value, leading},
          {},      LiveValue::panelSwitch, role};
}

constexpr ParameterRun unstored(VstInt32 index, LiveValue live, PanelRole role) {
  return {{index, 1}, NameKind::none, nullptr, nullptr, DisplayKind::none, {}, {}, live, role};
}

constexpr auto kFixed = NameKind::fixed;
constexpr auto kPerOscillator = NameKind::perOscillator;
constexpr auto kUnnamed = NameKind::none;
constexpr auto kDecibels = DisplayKind::decibels;
constexpr VstInt32 kAll = kOscillators;

// The rows (kParameterRuns), in the order selecting a program applies them: main settings,
// oscillators, routing, delay, flanger, phaser, reverb, switches, each through the engine operation
// that setting the parameter uses; then the values only the panel reads, and the indexes no program
// stores.
inline constexpr ParameterRun kRows[] = {
    setting<&R::mainDetune, 0, &E::setMainDetune, &E::getMainDetune>(
        {kMainDetune, 1}, kFixed, " Main Detune ", kHz, DisplayKind::floatText, 0.5f),
    setting<&R::mainVolume, 0, &E::setMainVolume, &E::getMainVolume>(
        {kMainVolume, 1}, kFixed, " Main Volume ", kDb, kDecibels, 0.9f),
    setting<&R::oscPhase, 0, &E::setOscillatorPhase, &E::getOscillatorPhase>(
        kPhaseBars, kPerOscillator, " Phase ", "   Phase   ", kDecibels, 0.5f),
    setting<&R::oscVolume, 0, &E::setOscillatorVolume, &E::getOscillatorVolume>(
        kVolumeBars, kPerOscillator, " Vol", kDb, kDecibels, 0.0f),
    setting<&R::oscDetune, 0, &E::setOscillatorDetune, &E::getOscillatorDetune>(
        kDetuneBars, kPerOscillator, " Detune ", kHz, kDecibels, 0.5f),
    setting<&R::routing, 0, &E::setRouting, &E::getRouting>(kRoutingSwitches, kUnnamed, nullptr,
                                                            nullptr, DisplayKind::none, 0.0f, kAll,
                                                            PanelRole::routing),
    setting<&R::delayVolume, 0, &E::setDelayLevel, &E::getDelayLevel>(
        {kDelayVolume, 1}, kFixed, " Delay Vol ", kDb, kDecibels, 0.5f),
    setting<&R::delayFeedback, 0, &E::setDelayFeedback, &E::getDelayFeedback>(
        {kDelayFeedback, 1}, kFixed, " Delay Feedb.", "   Feedback   ", kDecibels, 0.3f),
    setting<&R::delayTime, 0, &E::setDelayTime, &E::getDelayTime>(
        {kDelayTime, 1}, kFixed, " Delay Time ", "   Time   ", kDecibels, 0.5f),
    setting<&R::flanger, 0, &E::setFlangerCentreDelay, &E::getFlangerCentreDelay>(
        {181, 1}, kFixed, " Flanger Delay ", kDb, kDecibels, 0.5f),
    setting<&R::flanger, 1, &E::setFlangerDryLevel, &E::getFlangerDryLevel>(
        {182, 1}, kFixed, " Flanger Dry Vol ", kDb, kDecibels, 0.5f),
    setting<&R::flanger, 2, &E::setFlangerWetLevel, &E::getFlangerWetLevel>(
        {183, 1}, kFixed, " Flanger ", kDb, kDecibels, 0.5f),
    setting<&R::flanger, 3, &E::setFlangerInputGain, &E::getFlangerInputGain>(
        {184, 1}, kFixed, " Flanger ", kDb, kDecibels, 0.5f),
    setting<&R::flanger, 4, &E::setFlangerSweepDepth, &E::getFlangerSweepDepth>(
        {185, 1}, kFixed, " Flanger ", kDb, kDecibels, 0.5f),
    setting<&R::flanger, 5, &E::setFlangerRate, &E::getFlangerRate>({186, 1}, kFixed, " Flanger ",
                                                                    kDb, kDecibels, 0.5f),
    // The sweep shape starts as a sine (below 0.5).
    setting<&R::flanger, 6, &E::setFlangerWaveform, &E::getFlangerWaveform>(
        {187, 1}, kFixed, " Flanger ", kDb, kDecibels, 0.0f),
    setting<&R::phaserDepth, 0, &E::setPhaserDepth, &E::getPhaserDepth>(
        {kPhaserDepth, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::phaserFeedback, 0, &E::setPhaserFeedback, &E::getPhaserFeedback>(
        {kPhaserFeedback, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::phaserMaxFreq, 0, &E::setPhaserMaximum, &E::getPhaserMaximum>(
        {kPhaserMaxFreq, 1}, kUnnamed, nullptr, nullptr, DisplayKind::decibelsOf1600th, 0.5f),
    setting<&R::phaserMinFreq, 0, &E::setPhaserMinimum, &E::getPhaserMinimum>(
        {kPhaserMinFreq, 1}, kUnnamed, nullptr, nullptr, DisplayKind::decibelsOf1600th, 0.5f),
    setting<&R::phaserRate, 0, &E::setPhaserRate, &E::getPhaserRate>(
        {kPhaserRate, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::reverbDamping, 0, &E::setReverbDamping, &E::getReverbDamping>(
        {kReverbDamping, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::reverbDry, 0, &E::setReverbDry, &E::getReverbDry>(
        {kReverbDry, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::reverbRoomSize, 0, &E::setReverbRoomSize, &E::getReverbRoomSize>(
        {kReverbRoomSize, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::reverbWet, 0, &E::setReverbWet, &E::getReverbWet>(
        {kReverbWet, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    setting<&R::reverbWidth, 0, &E::setReverbWidth, &E::getReverbWidth>(
        {kReverbWidth, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.5f),
    // Oscillators 1-16 start switched on (and silent: their volume is 0).
    setting<&R::oscSwitch, 0, &E::setOscillatorSwitch, &E::getOscillatorSwitch>(
        kOscillatorSwitches, kUnnamed, nullptr, nullptr, kDecibels, 1.0f, 16),
    // Effects start off, matching the panel, whose switches start dark.
    setting<&R::effectSwitch, 0, &E::setDelaySwitch, &E::getDelaySwitch>(
        {kDelaySwitch, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.0f),
    setting<&R::effectSwitch, 1, &E::setFlangerSwitch, &E::getFlangerSwitch>(
        {kFlangerSwitch, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.0f),
    setting<&R::effectSwitch, 2, &E::setPhaserSwitch, &E::getPhaserSwitch>(
        {kPhaserSwitch, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.0f),
    setting<&R::effectSwitch, 3, &E::setReverbSwitch, &E::getReverbSwitch>(
        {kReverbSwitch, 1}, kUnnamed, nullptr, nullptr, kDecibels, 0.0f),

    // Panel values: the volume layer and the volume curves are shown, oscillator 1 is selected.
    panelSwitch<&P::switches, 1>({2, 1}, 1.0f, 1, PanelRole::layerButton),
    panelSwitch<&P::switches, 0>({3, 1}, 0.0f, 1, PanelRole::layerButton),
    panelSwitch<&P::switches, 2>({4, 1}, 0.0f, 1, PanelRole::layerButton),
    panelSwitch<&P::switches, 4>({5, 1}, 1.0f, 1, PanelRole::curveKindButton),
    panelSwitch<&P::switches, 3>({6, 1}, 0.0f, 1, PanelRole::curveKindButton),
    panelSwitch<&P::switches, 5>({7, 1}, 0.0f, 1, PanelRole::curveKindButton),
    panelSwitch<&P::selectors, 1>({9, 1}, 0.0f, 1, PanelRole::selectionButton),
    panelSwitch<&P::selectors, 0>({10, 1}, 0.0f, 1, PanelRole::selectionButton),
    panelSwitch<&P::selectors, 2>({11, 7}, 0.0f, 7, PanelRole::selectionButton),
    panelSwitch<&P::toggles, 0>(kOscillatorButtons, 1.0f, 1, PanelRole::selectionButton),

    unstored(kEnvelopeCommand, LiveValue::envelopeCommand, PanelRole::curveEditor),
    unstored(kUnusedA, LiveValue::none, PanelRole::none),
    unstored(kUnusedB, LiveValue::none, PanelRole::resetButton),
    unstored(kTestNote, LiveValue::testNote, PanelRole::none),
};

// Row number of every index (0xFF: none, which coversEveryIndexOnce rules out).
constexpr std::array<std::uint8_t, kCount> rowOfIndex() {
  std::array<std::uint8_t, kCount> rows{};
  rows.fill(0xFF);
  for (std::size_t row = 0; row < std::size(kRows); ++row) {
    const IndexRange& r = kRows[row].indexes;
    for (VstInt32 index = r.first; index <= r.last(); ++index) {
      if (isIndex(index)) rows[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(row);
    }
  }
  return rows;
}

constexpr bool coversEveryIndexOnce() {
  std::array<int, kCount> uses{};
  for (const ParameterRun& run : kRows) {
    for (VstInt32 index = run.indexes.first; index <= run.indexes.last(); ++index) {
      if (!isIndex(index)) return false;
      ++uses[static_cast<std::size_t>(index)];
    }
  }
  for (int count : uses) {
    if (count != 1) return false;
  }
  return true;
}
static_assert(coversEveryIndexOnce(), "every index 0-236 has exactly one row");

static_assert(std::size(kRows) < 0xFF);

inline constexpr std::array<std::uint8_t, kCount> kRowOfIndex = rowOfIndex();

}  // namespace table

inline constexpr auto& kParameterRuns = table::kRows;

// The row of a parameter index; null outside 0-236.
constexpr const ParameterRun* runOf(VstInt32 index) {
  return isIndex(index) ? &kParameterRuns[table::kRowOfIndex[static_cast<std::size_t>(index)]]
                        : nullptr;
}

// How the panel passes on a change of the control with this tag; none outside 0-236.
constexpr PanelRole panelRole(VstInt32 tag) {
  if (!isIndex(tag)) return PanelRole::none;
  return table::kRows[table::kRowOfIndex[static_cast<std::size_t>(tag)]].panelRole;
}

// The highest tag of a panel control.
constexpr VstInt32 lastControlTag() {
  VstInt32 last = -1;
  for (VstInt32 index = 0; index < kCount; ++index) {
    if (panelRole(index) != PanelRole::none) last = index;
  }
  return last;
}

// Writes the parameter's name; false (buffer untouched) for indexes without one.
bool writeName(VstInt32 index, char* text);
// Writes the parameter's label; false (buffer untouched) for indexes without one.
bool writeLabel(VstInt32 index, char* text);
DisplayKind displayKind(VstInt32 index);

}  // namespace parameters
