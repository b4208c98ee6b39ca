// Loading a plug-in of any format: the format follows the path (a .vst3 bundle or file,
// a .clap file, anything else VST 2).
#pragma once

#include <memory>
#include <string>

#include "host/HostedPlugin.h"

enum class PluginFormat { Vst2, Vst3, Clap };

PluginFormat pluginFormatOf(const std::string& path);
const char* pluginFormatName(PluginFormat format);

// Which plug-in to take from a file that holds several: the one with this id (CLAP) or
// class name (VST3), else the one whose main input has inputChannels (0: the first).
struct PluginChoice {
    std::string id;
    int inputChannels = 0;
};

// The path as found (see resolvePluginPath for VST 2); throws HostError PluginNotFound.
std::string resolveAnyPluginPath(const std::string& nameOrPath);
std::unique_ptr<HostedPlugin> openPlugin(const std::string& nameOrPath, const PluginChoice& choice = {});
