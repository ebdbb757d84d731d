// The instrument's core: record set-up and the audio entry points.
#include "synth/SynthCore.h"

#include <algorithm>

SynthCore::SynthCore(audioMasterCallback callback)
    : EffectBaseX(callback, kProgramCount, kParameterCount) {
  if (callback) {
    setInputCount(0);
    setOutputCount(1);
    setCanReplacing(true);
    setHasVu(false);
    setHasClip(false);
    setIsSynth(true);
    setUniqueId(fourCharCode("TMOV"));
  }
}

SynthCore::~SynthCore() = default;

void SynthCore::process(float**, float**, VstInt32) {}

void SynthCore::processReplacing(float**, float** outputs, VstInt32 sampleFrames) {
  if (!outputs || !outputs[0] || sampleFrames <= 0) return;
  std::fill_n(outputs[0], sampleFrames, 0.0f);
}
