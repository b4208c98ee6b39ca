// Check 1: a host scanning its plug-in folder loads and unloads each plug-in many times;
// what it learns must not change between loads, and the plug-in should keep quiet.
#include <algorithm>
#include <sstream>

#include "host/OpenPlugin.h"
#include "host/PluginInstance.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/Checks.h"

namespace {

constexpr int kLoads = 20;

const char* const kCanDoTexts[] = {"sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents",
                                   "receiveVstMidiEvent", "receiveVstTimeInfo", "offline",
                                   "midiProgramNames",   "bypass"};

struct IdentityField {
    std::string name;
    std::string value;
};

std::vector<IdentityField> identityOf(PluginInstance& plugin) {
    const AEffect& record = plugin.record();
    std::vector<IdentityField> fields = {
        {"entry point", plugin.entryPoint()},
        {"magic", std::to_string(record.magic)},
        {"unique id", std::to_string(record.uniqueID)},
        {"version", std::to_string(record.version)},
        {"flags", std::to_string(record.flags)},
        {"programs", std::to_string(record.numPrograms)},
        {"parameters", std::to_string(record.numParams)},
        {"inputs", std::to_string(record.numInputs)},
        {"outputs", std::to_string(record.numOutputs)},
        {"initial delay", std::to_string(record.initialDelay)},
        {"effect name", plugin.effectName()},
        {"vendor", plugin.vendorName()},
        {"product", plugin.productName()},
        {"vendor version", std::to_string(plugin.dispatch(effGetVendorVersion))},
        {"VST version", std::to_string(plugin.dispatch(effGetVstVersion))},
        {"category", std::to_string(plugin.dispatch(effGetPlugCategory))},
    };
    for (const char* text : kCanDoTexts)
        fields.push_back({std::string("canDo \"") + text + "\"",
                          std::to_string(plugin.dispatch(effCanDo, 0, 0, const_cast<char*>(text)))});
    return fields;
}

// What any format tells a scanning host.
std::vector<IdentityField> neutralIdentityOf(HostedPlugin& plugin) {
    std::vector<IdentityField> fields = {
        {"effect name", plugin.effectName()},
        {"identity", plugin.identityLines()},
        {"parameters", std::to_string(plugin.parameterCount())},
        {"programs", std::to_string(plugin.programCount())},
    };
    for (int32 index = 0; index < plugin.parameterCount(); ++index)
        fields.push_back({"parameter " + std::to_string(index) + " name", plugin.parameterName(index)});
    return fields;
}

}  // namespace

void checkScanAndIdentity(const ValidationSettings& settings, CheckLog& log) {
    StreamCapture output(stdout);
    std::vector<IdentityField> first;
    for (int load = 1; load <= kLoads; ++load) {
        markProgress("load " + std::to_string(load));
        const std::unique_ptr<HostedPlugin> plugin = openPlugin(settings.pluginPath, {settings.pluginId, 0});
        PluginInstance* vst2 = dynamic_cast<PluginInstance*>(plugin.get());
        const std::vector<IdentityField> identity = vst2 ? identityOf(*vst2) : neutralIdentityOf(*plugin);
        if (load == 1) {
            first = identity;
            if (vst2 && vst2->record().uniqueID == 0) log.warn("the unique id is 0; hosts tell plug-ins apart by it");
            if (plugin->outputCount() < 1) log.fail("the plug-in has no outputs");
            continue;
        }
        for (std::size_t i = 0; i < identity.size(); ++i)
            if (identity[i].value != first[i].value)
                log.fail(identity[i].name + " changed at load " + std::to_string(load) + ": '" + first[i].value +
                         "', then '" + identity[i].value + "'");
    }
    // Hosts show what a plug-in prints to nobody, or in their own log.
    const std::string printed = output.finish();
    if (!printed.empty()) {
        std::istringstream lines(printed);
        std::string firstLine;
        std::getline(lines, firstLine);
        const long count = std::count(printed.begin(), printed.end(), '\n') + (printed.back() == '\n' ? 0 : 1);
        log.warn("printed " + std::to_string(count) + " line(s) on standard output over " + std::to_string(kLoads) +
                 " loads, beginning '" + firstLine + "'");
    }
    log.note(std::to_string(kLoads) + " loads, " + std::to_string(first.size()) + " identity fields compared");
}
