// The factory the module's exported GetPluginFactory hands out.
#pragma once

#include "vst3/Vst3Interfaces.h"

v3_plugin_factory** vst3Factory();
