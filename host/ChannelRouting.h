// Which file channel feeds each plug-in input.
#pragma once

#include <vector>

// One entry per plug-in input: the file channel that feeds it, or -1 for silence.
// A mono file feeds every input; a file with more channels than the plug-in has inputs
// is refused (HostError ChannelMismatch) unless dropChannels lets the extra ones go.
std::vector<int> routeChannels(int fileChannels, int pluginInputs, bool dropChannels);
