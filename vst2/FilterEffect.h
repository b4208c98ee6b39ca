// The Quorvane effect: binds the host interface to the filter.
#pragma once

#include <memory>

#include "dsp/ChannelState.h"
#include "dsp/ParameterModel.h"
#include "dsp/Parameters.h"
#include "dsp/ProcessingLoop.h"
#include "dsp/ProgramBank.h"
#include "common/RelaxedAtomic.h"
#include "plugin/ControllerMapping.h"
#include "vst2/EffectBaseExt.h"

class FilterEffect : public EffectBaseExt {
public:
    // channelCount is already clamped to 1..kMaxChannels.
    FilterEffect(audioMasterCallback hostCallback, int channelCount, bool halfPower);
    ~FilterEffect() override;

    // A value that is not a finite number is ignored: nothing is stored or derived.
    void setParameter(int32 index, float value) override;
    float getParameter(int32 index) override;
    void getParameterName(int32 index, char* text) override;
    void getParameterLabel(int32 index, char* text) override;
    void getParameterDisplay(int32 index, char* text) override;

    void setProgram(int32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(int32 category, int32 index, char* text) override;

    void process(float** inputs, float** outputs, int32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32 sampleFrames) override;
    void suspend() override {}
    void resume() override;
    int32 processEvents(VstEvents* events) override;

    int getChannelCount() const { return channelCount; }
    bool isHalfPower() const { return halfPower; }
    std::int32_t oversampleFactor() const override { return parameters.oversampleFactor(); }
    // For the editor's readout.
    double approxCutoffHz() const { return parameters.approxCutoffHz(); }
    bool envelopeEnabled() const { return parameters.envelopeEnabled(); }

    std::uint32_t getFrameCounter() const { return frameCounter; }
    std::int32_t getPollInterval() const { return pollInterval; }
    const ChannelState& channelState(int channel) const { return channelStates[channel]; }
    bool isChannelProcessed(int channel) const { return inputConnected[channel]; }

    ControllerMapping& controllerMapping() { return controllers; }

private:
    void processBlock(float** inputs, float** outputs, int32 sampleFrames, OutputMode mode);
    void pollJoystick() { controllers.pollJoystick(); }

    bool halfPower;
    ParameterModel parameters;
    std::unique_ptr<ProgramBank> programs;
    // curProgram as the parameter setters read it, from any thread.
    RelaxedAtomic<int32> currentProgram{0};
    ControllerMapping controllers;

    ChannelState channelStates[kMaxChannels];
    bool inputConnected[kMaxChannels] = {};
    ProcessingLoop loop;
    std::uint32_t frameCounter = 0;  // frames since construction; wraps
    std::int32_t pollInterval = 0;   // frames between joystick polls; 0: no polling
};
