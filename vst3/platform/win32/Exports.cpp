// What a VST3 host looks up in Quorvane.vst3 on Windows: the factory, and the module's
// entry and exit. Quorvane.def gives the names undecorated on 32-bit Windows too.
#include "vst3/Vst3Factory.h"

extern "C" v3_plugin_factory** V3_API GetPluginFactory() { return vst3Factory(); }
extern "C" bool V3_API InitDll() { return true; }
extern "C" bool V3_API ExitDll() { return true; }
