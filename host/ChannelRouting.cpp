#include "host/ChannelRouting.h"

#include <string>

#include "host/ExitCode.h"

std::vector<int> routeChannels(int fileChannels, int pluginInputs, bool dropChannels) {
    if (fileChannels > pluginInputs && !dropChannels)
        throw HostError(ExitCode::ChannelMismatch,
                        "the file has " + std::to_string(fileChannels) + " channels but the plug-in has only " +
                            std::to_string(pluginInputs) + " input(s) (use --drop-channels to drop the rest)");
    std::vector<int> sources(pluginInputs, -1);
    for (int input = 0; input < pluginInputs; ++input) {
        if (fileChannels == 1) sources[input] = 0;
        else if (input < fileChannels) sources[input] = input;
    }
    return sources;
}
