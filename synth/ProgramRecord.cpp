// Program records: defaults, copying and the map from parameter index to stored field, all taken
// from the parameter table.
#include "synth/ProgramRecord.h"

#include <cstring>

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

ProgramRecord& ProgramRecord::operator=(const ProgramRecord& other) {
  if (this == &other) return *this;
  ProgramRecord& source = const_cast<ProgramRecord&>(other);  // only read
  for (const ParameterRun& run : kParameterRuns) {
    for (VstInt32 offset = 0; offset < run.indexes.count; ++offset) {
      float* field = run.fieldIn(*this, offset);
      const float* from = run.fieldIn(source, offset);
      if (field && from) *field = *from;
    }
  }
  *envelopes = *other.envelopes;
  std::memcpy(name, other.name, sizeof name);
  return *this;
}

float* ProgramRecord::fieldFor(VstInt32 index) {
  const ParameterRun* run = parameters::runOf(index);
  return run ? run->fieldIn(*this, index - run->indexes.first) : nullptr;
}

const float* ProgramRecord::fieldFor(VstInt32 index) const {
  return const_cast<ProgramRecord*>(this)->fieldFor(index);
}
