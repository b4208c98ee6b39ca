// What the frame loop needs for a run over some frames of the active channels: each
// lane's buffers, the lanes' state, and the settings as copied at the start of the run.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/EngineSettings.h"
#include "dsp/Parameters.h"

enum class OutputMode { Add, Replace };

enum LaneField { kStage1, kStage2, kStage3, kStage4, kFeedback, kEnvelope, kFieldCount };

struct FrameRun {
    // Lanes beyond laneCount read the first lane's input; their results are dropped.
    const float* in[kMaxChannels];
    float* out[kMaxChannels];
    int laneCount;
    OutputMode mode;
    const EngineSettings* settings;
    // The run stops before the first frame at which this differs from seenChanges.
    const std::atomic<std::uint32_t>* changes;
    std::uint32_t seenChanges;
    // Per field, the lanes' values (always exact floats).
    double (*state)[kMaxChannels];
};

// Runs frames first..last - 1 and answers the frame it stopped before.
using FrameRunner = std::int32_t (*)(const FrameRun&, std::int32_t first, std::int32_t last);
