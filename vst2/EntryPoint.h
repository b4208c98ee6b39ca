// What the exported entry point does for each instance a host asks for.
#pragma once

#include "vst2/vst2.h"

class FilterEffect;

// Builds one effect instance with its panel and returns its record, or null when none
// was made.
AEffect* createEffectInstance(audioMasterCallback hostCallback);

// Gives the effect its panel; the effect owns it from then on.
void attachPanel(FilterEffect& effect);
