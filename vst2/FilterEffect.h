// The Quorvane effect as a VST 2 plug-in: the host binding over the one engine, with the
// VST 2 program bank.
#pragma once

#include <memory>

#include "common/RelaxedAtomic.h"
#include "plugin/PluginEngine.h"
#include "vst2/EffectBaseExt.h"
#include "vst2/ProgramBank.h"

class FilterEffect : public EffectBaseExt {
public:
    // channelCount is already clamped to 1..kMaxChannels.
    FilterEffect(audioMasterCallback hostCallback, int channelCount, bool halfPower);
    ~FilterEffect() override;

    // A value that is not a finite number is ignored: nothing is stored or derived.
    void setParameter(int32 index, float value) override;
    float getParameter(int32 index) override;
    // Names and labels are cut to the 8 bytes VST 2 gives them.
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
    bool isHalfPower() const { return engine.isHalfPower(); }
    std::int32_t oversampleFactor() const override { return engine.oversampleFactor(); }
    // For the editor's readout.
    double approxCutoffHz() const { return engine.approxCutoffHz(); }
    bool envelopeEnabled() const { return engine.envelopeEnabled(); }

    PluginEngine& filterEngine() { return engine; }

private:
    // MIDI and joystick moves, reported as a user's change: program, panel and host.
    void reportControllerChanges();

    PluginEngine engine;
    std::unique_ptr<ProgramBank> programs;
    // curProgram as the parameter setters read it, from any thread.
    RelaxedAtomic<int32> currentProgram{0};
};
