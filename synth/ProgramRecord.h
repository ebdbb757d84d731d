// One program: the stored host value of every parameter that has a program field, the 123 envelope
// curves of the panel and a name. Values are stored raw (as the host sent them); the engine
// applies the transforms. Fields are in their designed declaration order; which parameter each
// value belongs to, and its default, is in the parameter table (ParameterTable.h).
//
// Automation writes values on the audio thread while the host's main thread and the panel copy,
// store and read programs: wherever that can overlap, every value, curve point and name byte is
// loaded and stored on its own with a relaxed atomic (loadRelaxed / storeRelaxed, or the copies
// below). A program copied meanwhile may mix older and newer values; no access is a data race.
#pragma once

#include <array>
#include <memory>

#include "host/vst2.h"

// 385 points drawn on the panel: the unit exchanged between a curve editor, a program and an
// oscillator's envelope layer.
constexpr int kEnvelopePointCount = 385;
using EnvelopeCurve = std::array<float, kEnvelopePointCount>;

// Slot numbers 0-122 name the curves of a program.
constexpr int kEnvelopeSlotCount = 123;
using EnvelopeTable = std::array<EnvelopeCurve, kEnvelopeSlotCount>;

// The 47 values only the panel interprets, in three runs. Word numbers inside each run:
// switches hold indexes 3, 2, 4, 6, 5, 7; toggles 50-81; selectors 10, 9, 11, 12 ... 17.
struct PanelSwitchValues {
  std::array<float, 6> switches;
  std::array<float, 32> toggles;
  std::array<float, 9> selectors;
};

constexpr int kProgramNameSize = 24;

class ProgramRecord {
 public:
  ProgramRecord();  // the table's defaults, name "Basic", all curve points 0
  virtual ~ProgramRecord();
  ProgramRecord(const ProgramRecord&) = delete;
  // Copies every value, the name and the curve points into this record's own storage.
  ProgramRecord& operator=(const ProgramRecord& other);

  // The program field of a parameter index, or null when the parameter is not stored.
  float* fieldFor(VstInt32 index);
  const float* fieldFor(VstInt32 index) const;

  EnvelopeCurve& curve(int slot) { return (*envelopes)[static_cast<size_t>(slot)]; }
  const EnvelopeCurve& curve(int slot) const { return (*envelopes)[static_cast<size_t>(slot)]; }
  // Point by point: a copy of a slot's curve, and its replacement by 385 points.
  [[nodiscard]] EnvelopeCurve readCurve(int slot) const;
  void writeCurve(int slot, const float* points);
  // Byte by byte: copies the kProgramNameSize bytes of the name out, or in (the last one is
  // stored as 0 whatever `text` holds there).
  void readName(char* text) const;
  void writeName(const char* text);

  std::array<float, 32> routing;
  float mainDetune;
  float mainVolume;
  std::array<float, 32> oscVolume;
  std::array<float, 32> oscPhase;
  std::array<float, 32> oscDetune;
  std::unique_ptr<EnvelopeTable> envelopes;
  float delayVolume;
  float delayFeedback;
  float delayTime;
  std::array<float, 7> flanger;
  float phaserDepth;
  float phaserMinFreq;
  float phaserMaxFreq;
  float phaserFeedback;
  float phaserRate;
  float reverbRoomSize;
  float reverbDamping;
  float reverbWidth;
  float reverbDry;
  float reverbWet;
  std::array<float, 32> oscSwitch;
  std::array<float, 4> effectSwitch;  // delay, flanger, phaser, reverb
  PanelSwitchValues panel;
  char name[kProgramNameSize];
};
