// Program records: defaults, copying and the map from parameter index to stored field, all taken
// from the parameter table.
#include "synth/ProgramRecord.h"

#include <cstring>

#include "engine/SharedField.h"
#include "synth/ParameterTable.h"

using parameters::kParameterRuns;
using parameters::ParameterRun;

// The curves start at 0: make_unique value-initialises the table.
ProgramRecord::ProgramRecord()
    : routing{},
      mainDetune{},
      mainVolume{},
      oscVolume{},
      oscPhase{},
      oscDetune{},
      envelopes(std::make_unique<EnvelopeTable>()),
      delayVolume{},
      delayFeedback{},
      delayTime{},
      flanger{},
      phaserDepth{},
      phaserMinFreq{},
      phaserMaxFreq{},
      phaserFeedback{},
      phaserRate{},
      reverbRoomSize{},
      reverbDamping{},
      reverbWidth{},
      reverbDry{},
      reverbWet{},
      oscSwitch{},
      effectSwitch{},
      panel{},
      name{} {
  for (const ParameterRun& run : kParameterRuns) {
    for (VstInt32 offset = 0; offset < run.indexes.count; ++offset) {
      if (float* field = run.fieldIn(*this, offset)) *field = run.program.defaultAt(offset);
    }
  }
  std::strcpy(name, "Basic");
}

ProgramRecord::~ProgramRecord() = default;

static_assert(std::atomic_ref<float>::is_always_lock_free &&
              std::atomic_ref<char>::is_always_lock_free);
static_assert(std::atomic_ref<float>::required_alignment == alignof(float));

ProgramRecord& ProgramRecord::operator=(const ProgramRecord& other) {
  if (this == &other) return *this;
  ProgramRecord& source = const_cast<ProgramRecord&>(other);  // only read
  for (const ParameterRun& run : kParameterRuns) {
    for (VstInt32 offset = 0; offset < run.indexes.count; ++offset) {
      float* field = run.fieldIn(*this, offset);
      const float* from = run.fieldIn(source, offset);
      if (field && from) storeRelaxed(*field, loadRelaxed(*from));
    }
  }
  for (int slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    writeCurve(slot, other.readCurve(slot).data());
  }
  char copied[kProgramNameSize];
  other.readName(copied);
  writeName(copied);
  return *this;
}

EnvelopeCurve ProgramRecord::readCurve(int slot) const {
  EnvelopeCurve points;
  const EnvelopeCurve& stored = curve(slot);
#pragma GCC unroll 8
  for (size_t k = 0; k < points.size(); ++k) points[k] = loadRelaxed(stored[k]);
  return points;
}

void ProgramRecord::writeCurve(int slot, const float* points) {
  EnvelopeCurve& stored = curve(slot);
#pragma GCC unroll 8
  for (size_t k = 0; k < stored.size(); ++k) storeRelaxed(stored[k], points[k]);
}

void ProgramRecord::readName(char* text) const {
  for (int k = 0; k < kProgramNameSize; ++k) text[k] = loadRelaxed(name[k]);
}

void ProgramRecord::writeName(const char* text) {
  for (int k = 0; k < kProgramNameSize - 1; ++k) storeRelaxed(name[k], text[k]);
  storeRelaxed(name[kProgramNameSize - 1], '\0');
}

float* ProgramRecord::fieldFor(VstInt32 index) {
  const ParameterRun* run = parameters::runOf(index);
  return run ? run->fieldIn(*this, index - run->indexes.first) : nullptr;
}

const float* ProgramRecord::fieldFor(VstInt32 index) const {
  return const_cast<ProgramRecord*>(this)->fieldFor(index);
}
