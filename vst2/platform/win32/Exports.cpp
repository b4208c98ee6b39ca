// The library's entry points on Windows: the load hook, and main (named by Quorvane.def;
// hosts call it with the C calling convention) with VSTPluginMain beside it.
#include <windows.h>

#include "vst2/EntryPoint.h"
#include "plugin/platform/win32/ModuleHandle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    moduleHandle = instance;
    return TRUE;
}

extern "C" AEffect* VSTCALL VSTPluginMain(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}

extern "C" AEffect* VSTCALL pluginMain(audioMasterCallback hostCallback) {
    return createEffectInstance(hostCallback);
}
