// The factory of Quorvane.clap: the mono and the stereo plug-in, each made with the
// settings of the Quorvane.ini beside the file.
#include "clap/ClapFactory.h"

#include <cstring>
#include <new>

#include "clap/ClapEffect.h"
#include "plugin/ConfigurationLookup.h"

namespace {

const clap_plugin_descriptor_t* const kDescriptors[] = {&kClapMono, &kClapStereo};

std::uint32_t pluginCount(const clap_plugin_factory_t*) { return 2; }

const clap_plugin_descriptor_t* descriptor(const clap_plugin_factory_t*, std::uint32_t index) {
    return index < 2 ? kDescriptors[index] : nullptr;
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
    if (!host || !id) return nullptr;
    for (int i = 0; i < 2; ++i) {
        if (std::strcmp(id, kDescriptors[i]->id) != 0) continue;
        StartupSettings settings;
        if (!loadConfigurationBesideLibrary(settings)) return nullptr;
        ClapEffect* effect = new (std::nothrow) ClapEffect(host, kDescriptors[i], i + 1, settings.halfPower);
        return effect ? effect->plugin() : nullptr;
    }
    return nullptr;
}

const clap_plugin_factory_t kFactory = {pluginCount, descriptor, createPlugin};

}  // namespace

const clap_plugin_factory_t* clapFactory() { return &kFactory; }
