#include "plugin/EntryPoint.h"

#include <new>

#include "plugin/ConfigurationLookup.h"
#include "plugin/FilterEffect.h"

AEffect* createEffectInstance(audioMasterCallback hostCallback) {
    // A host that does not answer the version query gets nothing, and nothing is touched.
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    try {
        StartupSettings settings;
        if (!loadConfigurationBesideLibrary(settings)) return nullptr;

        FilterEffect* effect = new (std::nothrow)
            FilterEffect(hostCallback, settings.channelCount, settings.halfPower);
        return effect ? effect->effectRecord() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
