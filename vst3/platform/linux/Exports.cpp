// What a VST3 host looks up in Quorvane.so: the factory, and the module's entry and exit.
#include "vst3/Vst3Factory.h"

#define QV_EXPORT extern "C" __attribute__((visibility("default")))

QV_EXPORT v3_plugin_factory** GetPluginFactory() { return vst3Factory(); }
QV_EXPORT bool ModuleEntry(void*) { return true; }
QV_EXPORT bool ModuleExit() { return true; }
