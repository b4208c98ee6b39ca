// What differs between platforms in a VST3 module: where its binary sits in the bundle
// and the calls it expects right after loading and right before unloading.
#pragma once

#include <string>

// The binary inside a bundle folder for this platform's architecture.
std::string vst3BundleBinary(const std::string& bundle);
// ModuleEntry / InitDll; true when the module has none or it agreed.
bool enterVst3Module(void* library);
// ModuleExit / ExitDll.
void exitVst3Module(void* library);
