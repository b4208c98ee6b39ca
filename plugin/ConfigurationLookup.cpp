#include "plugin/ConfigurationLookup.h"

#include "common/PanelPreferences.h"
#include "plugin/platform/ModulePath.h"

std::string configurationPathFor(const std::string& libraryPath, char separator) {
    std::string::size_type cut = libraryPath.rfind(separator);
    if (cut == std::string::npos) return std::string();
    return libraryPath.substr(0, cut) + separator + kConfigurationFileName;
}

bool loadConfigurationBesideLibrary(StartupSettings& settings) {
    std::string libraryPath;
    if (!queryModuleFilePath(libraryPath)) return false;
    const std::string configPath = configurationPathFor(libraryPath, kPathSeparator);

    ControllerMap& map = processControllerMap();
    if (configPath.empty() || !readConfiguration(configPath, settings, map))
        writeDefaultConfiguration(configPath, settings, map);
    clampSettings(settings, map);
    publishPanelPreferences({settings.panelScale, settings.knobMode});
    return true;
}
