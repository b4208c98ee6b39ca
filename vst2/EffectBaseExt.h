// Opcodes 25..76: capability answers, identity strings, speaker arrangements,
// events and the remaining host calls.
#pragma once

#include "common/EditedPlugin.h"
#include "vst2/EffectBase.h"

// The panel edits the effect through EditedPlugin.
class EffectBaseExt : public EffectBase, public EditedPlugin {
public:
    EffectBaseExt(audioMasterCallback hostCallback, int32 programCount, int32 paramCount);
    ~EffectBaseExt() override;

    intptr dispatcher(int32 opcode, int32 index, intptr value, void* ptr, float opt) override;

    virtual void requestMidiEvents(int32 filter);
    virtual int32 processEvents(VstEvents* events);
    virtual bool canParameterBeAutomated(int32 index);
    virtual bool getProgramNameIndexed(int32 category, int32 index, char* text);
    virtual int32 getPlugCategory() { return 1; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out);
    virtual void setBlockSizeAndSampleRate(int32 size, float rate);
    virtual bool getEffectName(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual int32 getVendorVersion() { return 600; }
    virtual int32 canDo(const char* text);
    virtual bool wantsKeyboard();
    virtual int32 getVstVersion() { return 2300; }
    void beginEdit(int32 index) override;
    void endEdit(int32 index) override;
    float getParameter(int32 index) override { return EffectBase::getParameter(index); }
    void setParameterAndNotify(int32 index, float value) override {
        EffectBase::setParameterAndNotify(index, value);
    }
    bool resizeWindow(std::int32_t width, std::int32_t height) override {
        return callHost(audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
    }
    virtual bool makeArrangement(VstSpeakerArrangement** target, int32 speakerCount);
    virtual bool cloneArrangement(VstSpeakerArrangement** target,
                                  const VstSpeakerArrangement* source);

protected:
    int32 channelCount = 2;  // inputs and outputs; also the widest input arrangement accepted
    VstSpeakerArrangement* inputArrangement = nullptr;
    VstSpeakerArrangement* outputArrangement = nullptr;
};

// Identity texts the host reads back.
extern const char* const kEffectName;
extern const char* const kVendorString;
extern const char* const kProductString;
