#include "host/OpenPlugin.h"
#include "host/validate/Checks.h"

bool skippedForOtherFormats(const ValidationSettings& settings, CheckLog& log) {
    const PluginFormat format = pluginFormatOf(settings.pluginPath);
    if (format == PluginFormat::Vst2) return false;
    log.skip(std::string("not applicable to ") + pluginFormatName(format));
    return true;
}
