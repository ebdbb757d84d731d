// The instrument: 237 parameters, 32 programs, MIDI intake and the note state, and the engine
// that renders them. It answers the host's identity and capability questions and the two audio
// entry points.
#pragma once

#include "host/EffectBaseX.h"

class SynthCore : public EffectBaseX {
 public:
  static constexpr VstInt32 kProgramCount = 32;
  static constexpr VstInt32 kParameterCount = 237;

  explicit SynthCore(audioMasterCallback hostCallback);
  ~SynthCore() override;

  void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
};
