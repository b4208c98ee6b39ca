// The library's exported entry points on Linux: hosts look for VSTPluginMain, older
// ones for main.
#include "vst2/EntryPoint.h"

#define QV_EXPORT extern "C" __attribute__((visibility("default")))

QV_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}

QV_EXPORT AEffect* pluginMainAlias(audioMasterCallback hostCallback) __asm__("main");
AEffect* pluginMainAlias(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}
