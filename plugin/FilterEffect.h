// The Quorvane effect: binds the host interface to the filter.
#pragma once

#include "plugin/ControllerMapping.h"
#include "plugin/EffectBaseExt.h"

constexpr int32 kNumPrograms = 16;
constexpr int32 kNumParams = 9;
constexpr int32 kMaxChannels = 6;

class FilterEffect : public EffectBaseExt {
public:
    // channelCount is already clamped to 1..kMaxChannels.
    FilterEffect(audioMasterCallback hostCallback, int channelCount, bool halfPower);
    ~FilterEffect() override;

    void process(float** inputs, float** outputs, int32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32 sampleFrames) override;
    void suspend() override {}
    void resume() override;
    int32 processEvents(VstEvents* events) override;

    int getChannelCount() const { return channelCount; }
    bool isHalfPower() const { return halfPower; }

    ControllerMapping& controllerMapping() { return controllers; }

private:
    void pollJoystick() { controllers.pollJoystick(); }

    bool halfPower;
    ControllerMapping controllers;
};
