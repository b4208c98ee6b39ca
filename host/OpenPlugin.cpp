#include "host/OpenPlugin.h"

#include <filesystem>

#include "host/ExitCode.h"
#include "host/PluginInstance.h"
#include "host/PluginLoader.h"
#include "host/clap/ClapPlugin.h"
#include "host/vst3/Vst3Plugin.h"

PluginFormat pluginFormatOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    const std::string ending = std::filesystem::path(trimmed).extension().string();
    if (ending == ".vst3") return PluginFormat::Vst3;
    if (ending == ".clap") return PluginFormat::Clap;
    return PluginFormat::Vst2;
}

const char* pluginFormatName(PluginFormat format) {
    switch (format) {
        case PluginFormat::Vst2: return "VST 2";
        case PluginFormat::Vst3: return "VST3";
        case PluginFormat::Clap: return "CLAP";
    }
    return "";
}

std::string resolveAnyPluginPath(const std::string& nameOrPath) {
    if (pluginFormatOf(nameOrPath) == PluginFormat::Vst2) return resolvePluginPath(nameOrPath);
    std::error_code error;
    if (!std::filesystem::exists(nameOrPath, error))
        throw HostError(ExitCode::PluginNotFound, "plug-in not found: " + nameOrPath);
    return nameOrPath;
}

std::unique_ptr<HostedPlugin> openPlugin(const std::string& nameOrPath, const PluginChoice& choice) {
    const std::string path = resolveAnyPluginPath(nameOrPath);
    switch (pluginFormatOf(path)) {
        case PluginFormat::Vst3: return std::make_unique<Vst3Plugin>(path, choice.id);
        case PluginFormat::Clap: return std::make_unique<ClapPlugin>(path, choice.id, choice.inputChannels);
        case PluginFormat::Vst2: break;
    }
    return std::make_unique<PluginInstance>(path);
}
