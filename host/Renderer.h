// The render loop: file blocks in, plug-in blocks processed, file blocks out.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/AudioFile.h"
#include "host/MidiSchedule.h"
#include "host/HostedPlugin.h"
#include "host/SignalStats.h"

struct RenderPlan {
    int blockSize = 512;
    std::int64_t tailFrames = 0;  // silence fed after the input ends
    std::vector<int> inputSources;  // from routeChannels
    bool compensateLatency = true;
};

struct RenderResult {
    SignalStats input;
    SignalStats output;
    std::int64_t latency = 0;  // frames the plug-in reported after its first block
};

// Processes the whole input and its tail through a started plug-in and writes every
// output frame. A plug-in's reported latency is compensated as a host bounces: that many
// frames more silence go in at the end and as many come off the start, so the output
// lines up with the input and has its length. progress gets the fraction done after
// each block.
RenderResult renderThrough(HostedPlugin& plugin, AudioReader& reader, AudioWriter& writer,
                           MidiSchedule& midi, const RenderPlan& plan,
                           const std::function<void(double)>& progress);
