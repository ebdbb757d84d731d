// The smallest concrete shell: the second-generation shell with a process that does nothing,
// so the defaults of every operation can be observed directly.
#pragma once

#include "host/EffectBaseX.h"

class TestEffect : public EffectBaseX {
 public:
  explicit TestEffect(audioMasterCallback callback) : EffectBaseX(callback, 4, 8) {}
  void process(float**, float**, VstInt32) override {}
  using EffectBase::callHost;
};
