// The seam between the entry point and the instrument: the plug-in's wiring (EffectFactory.cpp,
// built only into the plug-in) defines this function, the entry point calls it once per
// instance. Answers null when the instance cannot be built; never throws.
#pragma once

#include "host/EffectBase.h"

EffectBase* createEffectInstance(audioMasterCallback hostCallback) noexcept;
