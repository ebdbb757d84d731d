// The final instrument class: the envelope command and the panel's notices.
#include "synth/SynthPlugin.h"

#include <cmath>

#include "synth/ParameterTable.h"

SynthPlugin::SynthPlugin(audioMasterCallback callback) : SynthCore(callback) {
  setUniqueId(fourCharCode("QNTR"));
}

// The editor goes first, while the whole instance is still there for it to leave.
SynthPlugin::~SynthPlugin() {
  delete editor;
  setEditor(nullptr);
  panel = nullptr;
}

void SynthPlugin::setParameter(VstInt32 index, float value) {
  if (index == parameters::kEnvelopeCommand) {
    runEnvelopeCommand(value);
    return;
  }
  if (!std::isfinite(value)) return;
  SynthCore::setParameter(index, value);
  if (panel) panel->parameterChanged(index, value);
}

void SynthPlugin::selectProgram(VstInt32 program) {
  if (program < 0 || program >= kProgramCount) return;
  SynthCore::selectProgram(program);
  if (panel) panel->programChanged();
}

VstInt32 SynthPlugin::writeChunk(void* data, VstInt32 byteSize, bool isPreset) {
  const VstInt32 restored = SynthCore::writeChunk(data, byteSize, isPreset);
  if (restored && panel) panel->programChanged();
  return restored;
}

// The value carries a slot number. It is range-checked as a float before it is truncated, so
// NaN, infinities and huge values never reach the conversion; the curve comes from the panel,
// which has curves only while it is open.
void SynthPlugin::runEnvelopeCommand(float value) {
  if (!(value > -1.0f && value < static_cast<float>(kEnvelopeSlotCount))) return;
  const auto slot = static_cast<VstInt32>(value);
  if (!panel || !panel->isPanelOpen()) return;
  EnvelopeCurve curve{};
  if (!panel->getSlotCurve(slot, curve.data())) return;
  applyEnvelope(slot, curve.data());
}
