// Runs the envelope and filter steps for every active channel, frame by frame, the
// channels side by side in SIMD lanes, the state in registers for the whole run.
#pragma once

#include <cstdint>

#include "dsp/ChannelState.h"
#include "dsp/FrameRun.h"
#include "dsp/ParameterModel.h"

class ProcessingLoop {
public:
    // The channels to run, normally the connected ones; taken at resume.
    void setActiveChannels(const bool* active, std::int32_t channelCount);
    std::int32_t activeChannelCount() const { return activeCount; }
    // The settings the last run processed with.
    const EngineSettings& settingsInUse() const { return settings; }

    // Frames first..last - 1 of every active channel; a loop serves one model. The
    // settings are derived again whenever they change, so a change takes effect from the
    // next frame. Every input sample of a frame is read before any output sample is
    // written, so a channel's input and output may share a buffer.
    void run(ChannelState* channels, float* const* inputs, float* const* outputs,
             std::int32_t first, std::int32_t last, OutputMode mode,
             const ParameterModel& parameters);

    // The loops with fused multiply-add run wherever the processor has it, unless
    // turned off here (for tests and timing); the answer says whether they will run.
    // Both kinds give the same bits.
    static bool useFusedLoops(bool wanted);

private:
    FrameRunner runnerFor(const EngineSettings& settings) const;

    // The settings derived at the change count they were derived at.
    EngineSettings settings{};
    std::uint32_t settingsChangeCount = 0;
    bool settingsCurrent = false;

    std::int32_t channelOfLane[kMaxChannels] = {};
    std::int32_t activeCount = 0;
};
