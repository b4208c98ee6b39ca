// The library's entry points on Windows: main (named by Quorvane.def; hosts call it with
// the C calling convention) with VSTPluginMain beside it.
#include <windows.h>

#include "vst2/EntryPoint.h"

extern "C" AEffect* VSTCALL VSTPluginMain(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}

extern "C" AEffect* VSTCALL pluginMain(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}
