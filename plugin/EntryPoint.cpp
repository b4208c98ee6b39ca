#include "plugin/EntryPoint.h"

#include <new>

#include "plugin/Configuration.h"
#include "plugin/FilterEffect.h"
#include "plugin/platform/ModulePath.h"

std::string configurationPathFor(const std::string& libraryPath, char separator) {
    std::string::size_type cut = libraryPath.rfind(separator);
    if (cut == std::string::npos) return std::string();
    return libraryPath.substr(0, cut) + separator + kConfigurationFileName;
}

AEffect* createEffectInstance(audioMasterCallback hostCallback) {
    // A host that does not answer the version query gets nothing, and nothing is touched.
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    try {
        StartupSettings settings;

        std::string libraryPath;
        if (!queryModuleFilePath(libraryPath)) return nullptr;
        const std::string configPath = configurationPathFor(libraryPath, kPathSeparator);

        ControllerMap& map = processControllerMap();
        if (configPath.empty() || !readConfiguration(configPath, settings, map))
            writeDefaultConfiguration(configPath, settings, map);
        clampSettings(settings, map);

        FilterEffect* effect = new (std::nothrow)
            FilterEffect(hostCallback, settings.channelCount, settings.halfPower);
        return effect ? effect->effectRecord() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
