#include "plugin/EntryPoint.h"

#include <new>

#include "plugin/FilterEffect.h"
#include "plugin/platform/ModulePath.h"

std::string configurationPathFor(const std::string& libraryPath, char separator) {
    std::string::size_type cut = libraryPath.rfind(separator);
    if (cut == std::string::npos) return std::string();
    return libraryPath.substr(0, cut) + separator + "Quorvane.ini";
}

AEffect* createEffectInstance(audioMasterCallback hostCallback) {
    // A host that does not answer the version query gets nothing, and nothing is touched.
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    int channelCount = 2;
    bool halfPower = false;

    std::string libraryPath;
    if (!queryModuleFilePath(libraryPath)) return nullptr;
    const std::string configPath = configurationPathFor(libraryPath, kPathSeparator);
    (void)configPath;

    try {
        FilterEffect* effect = new (std::nothrow) FilterEffect(hostCallback, channelCount, halfPower);
        return effect ? effect->effectRecord() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
