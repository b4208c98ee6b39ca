// What the exported entry point does for each instance a host asks for.
#pragma once

#include "plugin/vst2.h"

// Builds one effect instance and returns its record, or null when none was made.
AEffect* createEffectInstance(audioMasterCallback hostCallback);
