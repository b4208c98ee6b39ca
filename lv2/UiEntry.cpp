// The UI binary's one export: the descriptor of the panel both plug-ins share.
#include <cstring>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "lv2/PanelUi.h"
#include "lv2/PluginIdentity.h"
#include "plugin/ConfigurationLookup.h"

namespace {

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

// The host's ui:scaleFactor option, or 0 when it gives none.
float hostScaleFactor(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    if (!map || !options) return 0.0f;
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID atomFloat = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key != 0 || options->value; ++options)
        if (options->key == scaleFactor && options->type == atomFloat && options->size == sizeof(float) && options->value)
            return *static_cast<const float*>(options->value);
    return 0.0f;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(findFeature(features, LV2_UI__parent));
    if (!parent || !write || !widget) return nullptr;
    try {
        // The readout reckons with the oversampling Quorvane.ini sets, as the DSP binary does.
        StartupSettings settings;
        if (!loadConfigurationBesideLibrary(settings)) return nullptr;
        const auto* touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
        const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize));
        auto* ui = new PanelUi(settings.halfPower ? 4 : 8, write, controller, touch, resize,
                               hostScaleFactor(features));
        *widget = ui->open(parent);
        if (!*widget) {
            delete ui;
            return nullptr;
        }
        ui->resizeWindow(ui->width(), ui->height());
        return ui;
    } catch (...) {
        return nullptr;
    }
}

PanelUi& panel(LV2UI_Handle handle) { return *static_cast<PanelUi*>(handle); }

void cleanup(LV2UI_Handle handle) { delete &panel(handle); }

// Control ports carry one float; anything else is no parameter.
void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format == 0 && size == sizeof(float) && buffer)
        panel(handle).portEvent(port, *static_cast<const float*>(buffer));
}

int idle(LV2UI_Handle handle) {
    panel(handle).idle();
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLv2UiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
