// Runs the envelope and filter steps for every active channel of one frame at a time,
// the channels side by side in SIMD lanes. Between beginBlock and endBlock the channel
// state lives in the loop's lanes.
#pragma once

#include <cstdint>

#include "dsp/ChannelState.h"
#include "dsp/EngineSettings.h"
#include "dsp/Parameters.h"

enum class OutputMode { Add, Replace };

class ProcessingLoop {
public:
    // The channels to run, normally the connected ones; taken at resume.
    void setActiveChannels(const bool* active, std::int32_t channelCount);
    std::int32_t activeChannelCount() const { return activeCount; }

    void beginBlock(const ChannelState* channels);
    // Frame n of every active channel. Every input sample is read before any output
    // sample is written, so a channel's input and output may share a buffer.
    void processFrame(float* const* inputs, float* const* outputs, std::int32_t n,
                      OutputMode mode, const EngineSettings& settings);
    void endBlock(ChannelState* channels) const;

private:
    template <typename L>
    void processFrameWith(float* const* inputs, float* const* outputs, std::int32_t n,
                          OutputMode mode, const EngineSettings& settings);
    void clearLane(int lane);

    enum Field { kStage1, kStage2, kStage3, kStage4, kFeedback, kEnvelope, kFieldCount };

    std::int32_t channelOfLane[kMaxChannels] = {};
    std::int32_t activeCount = 0;
    // Per field, the lanes' values (always exact floats); unused lanes hold zeros.
    alignas(16) double lanes[kFieldCount][kMaxChannels] = {};
};
