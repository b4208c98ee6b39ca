// Finding a plug-in library, loading it and asking its entry point for an instance.
#pragma once

#include <string>

#include "host/HostCallback.h"

// The file to load: the argument itself when it names a file, else a bare name looked
// up in the plug-in directories (with or without the platform's file ending).
std::string resolvePluginPath(const std::string& nameOrPath);

struct LoadedEffect {
    void* library = nullptr;
    AEffect* effect = nullptr;
    const char* entryPoint = "";  // the exported name that made the instance
};

// Loads the library and creates one instance answered from state. Every failure throws
// a HostError naming the cause; nothing stays loaded then.
LoadedEffect loadEffect(const std::string& path, HostState& state);
