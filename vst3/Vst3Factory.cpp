// The module's factory: one class, the Quorvane effect, made with the settings of the
// Quorvane.ini beside the module.
#include "vst3/Vst3Factory.h"

#include <cstring>
#include <new>

#include "plugin/ConfigurationLookup.h"
#include "plugin/PluginDescription.h"
#include "vst3/Vst3Effect.h"

namespace {

template <std::size_t N>
void copyText(char (&out)[N], const char* text) {
    std::strncpy(out, text, N - 1);
    out[N - 1] = 0;
}

constexpr const char* kCategory = "Audio Module Class";
constexpr const char* kSubCategories = "Fx|Filter";
constexpr const char* kSdkVersion = "VST 3.7.0";

v3_result V3_API queryFactory(void* self, const v3_tuid iid, void** object) {
    if (std::memcmp(iid, v3_funknown_iid, sizeof(v3_tuid)) == 0 ||
        std::memcmp(iid, v3_plugin_factory_iid, sizeof(v3_tuid)) == 0 ||
        std::memcmp(iid, v3_plugin_factory_2_iid, sizeof(v3_tuid)) == 0 ||
        std::memcmp(iid, v3_plugin_factory_3_iid, sizeof(v3_tuid)) == 0) {
        *object = self;
        return V3_OK;
    }
    *object = nullptr;
    return V3_NO_INTERFACE;
}
// The factory lives as long as the module.
std::uint32_t V3_API keepFactory(void*) { return 1; }

v3_result V3_API factoryInfo(void*, v3_factory_info* info) {
    if (!info) return V3_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    copyText(info->vendor, pluginIdentity().maker);
    copyText(info->url, pluginIdentity().url);
    copyText(info->email, pluginIdentity().email);
    info->flags = 0x10;  // texts are UTF-16
    return V3_OK;
}

std::int32_t V3_API classCount(void*) { return 1; }

// What the three versions of the class description share.
template <typename Info>
bool describeClass(std::int32_t index, Info* info) {
    if (index != 0 || !info) return false;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->class_id, kVst3ClassId, sizeof(v3_tuid));
    info->cardinality = 0x7FFFFFFF;  // any number of instances
    copyText(info->category, kCategory);
    return true;
}

v3_result V3_API classInfo(void*, std::int32_t index, v3_class_info* info) {
    if (!describeClass(index, info)) return V3_INVALID_ARG;
    copyText(info->name, pluginIdentity().name);
    return V3_OK;
}

v3_result V3_API createInstance(void*, const v3_tuid classId, const v3_tuid iid, void** instance) {
    if (!instance) return V3_INVALID_ARG;
    *instance = nullptr;
    if (std::memcmp(classId, kVst3ClassId, sizeof(v3_tuid)) != 0) return V3_NO_INTERFACE;
    StartupSettings settings;
    if (!loadConfigurationBesideLibrary(settings)) return V3_INTERNAL_ERR;
    Vst3Effect* effect = new (std::nothrow) Vst3Effect(settings.halfPower);
    if (!effect) return V3_NOMEM;
    const v3_result result = effect->queryInterface(iid, instance);
    effect->release();
    return result;
}

v3_result V3_API classInfo2(void*, std::int32_t index, v3_class_info_2* info) {
    if (!describeClass(index, info)) return V3_INVALID_ARG;
    copyText(info->name, pluginIdentity().name);
    copyText(info->sub_categories, kSubCategories);
    copyText(info->vendor, pluginIdentity().maker);
    copyText(info->version, pluginIdentity().version);
    copyText(info->sdk_version, kSdkVersion);
    return V3_OK;
}

v3_result V3_API classInfoUtf16(void*, std::int32_t index, v3_class_info_3* info) {
    if (!describeClass(index, info)) return V3_INVALID_ARG;
    copyText(info->sub_categories, kSubCategories);
    toUtf16(info->name, pluginIdentity().name);
    toUtf16(info->vendor, pluginIdentity().maker);
    toUtf16(info->version, pluginIdentity().version);
    toUtf16(info->sdk_version, kSdkVersion);
    return V3_OK;
}

v3_result V3_API setHostContext(void*, v3_funknown**) { return V3_OK; }

const v3_plugin_factory_cpp kFactoryTable = {
    {queryFactory, keepFactory, keepFactory},
    {factoryInfo, classCount, classInfo, createInstance},
    {classInfo2},
    {classInfoUtf16, setHostContext},
};

struct Factory {
    const v3_plugin_factory_cpp* table;
};
Factory factory{&kFactoryTable};

}  // namespace

v3_plugin_factory** vst3Factory() {
    return reinterpret_cast<v3_plugin_factory**>(&factory);
}
