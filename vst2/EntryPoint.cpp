#include "vst2/EntryPoint.h"

#include <memory>

#include "editor/FilterEditor.h"
#include "plugin/ConfigurationLookup.h"
#include "vst2/FilterEffect.h"
#include "vst2/PanelEditor.h"

AEffect* createEffectInstance(audioMasterCallback hostCallback) {
    // A host that does not answer the version query gets nothing, and nothing is touched.
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;

    try {
        StartupSettings settings;
        if (!loadConfigurationBesideLibrary(settings)) return nullptr;

        std::unique_ptr<FilterEffect> effect(
            new FilterEffect(hostCallback, settings.channelCount, settings.halfPower));
        attachPanel(*effect);
        return effect.release()->effectRecord();
    } catch (...) {
        return nullptr;
    }
}

void attachPanel(FilterEffect& effect) {
    effect.attachEditor(new PanelEditor(&effect, std::make_unique<FilterEditor>(&effect)));
}
