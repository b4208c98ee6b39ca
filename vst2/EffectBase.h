// The layer between the host's AEffect record and the effect object: the record,
// its static entry functions, opcodes 0..24 and the calls the plug-in makes to the host.
#pragma once

#include "plugin/ParameterTarget.h"
#include "vst2/vst2.h"

class EditorBase;

class EffectBase : public ParameterTarget {
public:
    EffectBase(audioMasterCallback hostCallback, int32 programCount, int32 paramCount);
    virtual ~EffectBase();

    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual void setParameter(int32 index, float value);
    virtual float getParameter(int32 index);
    // For changes that do not come from the host: set, then tell the host.
    void setParameterAndNotify(int32 index, float value) override;

    virtual void process(float** inputs, float** outputs, int32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, int32 sampleFrames);

    virtual intptr dispatcher(int32 opcode, int32 index, intptr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}

    virtual int32 getProgram() { return curProgram; }
    virtual void setProgram(int32 program) { curProgram = program; }
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);

    virtual void getParameterLabel(int32 index, char* text);
    virtual void getParameterDisplay(int32 index, char* text);
    virtual void getParameterName(int32 index, char* text);

    virtual float getVu() { return 0.0f; }
    virtual int32 getChunk(void** data, bool isPreset);
    virtual int32 setChunk(void* data, int32 byteSize, bool isPreset);

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32 size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setUniqueId(int32 id) { record.uniqueID = id; }
    virtual void setInputCount(int32 count) { record.numInputs = count; }
    virtual void setOutputCount(int32 count) { record.numOutputs = count; }
    virtual void setHasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void setHasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void setCanMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void setCanReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void setProgramsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setRealtimeQualities(int32 qualities) { record.realQualities = qualities; }
    virtual void setOfflineQualities(int32 qualities) { record.offQualities = qualities; }
    virtual void setInitialDelay(int32 delay) { record.initialDelay = delay; }

    virtual float getSampleRate() { return sampleRate; }
    virtual int32 getBlockSize() { return blockSize; }

    virtual intptr hostVersion();
    virtual intptr hostCurrentUniqueId();
    virtual void hostIdle();
    virtual bool isInputConnected(int32 input);
    virtual bool isOutputConnected(int32 output);

    // Stores the editor (owned from now on) and sets or clears the has-editor flag.
    void attachEditor(EditorBase* newEditor);
    EditorBase* getEditor() const { return editor; }

    AEffect* effectRecord() { return &record; }

    // Entry functions stored in the record; each finds the effect through record->object.
    static intptr VSTCALL dispatchEntry(AEffect* e, int32 opcode, int32 index, intptr value,
                                        void* ptr, float opt);
    static void VSTCALL processEntry(AEffect* e, float** inputs, float** outputs,
                                     int32 sampleFrames);
    static void VSTCALL processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                              int32 sampleFrames);
    static void VSTCALL setParameterEntry(AEffect* e, int32 index, float value);
    static float VSTCALL getParameterEntry(AEffect* e, int32 index);

protected:
    intptr callHost(int32 opcode, int32 index, intptr value, void* ptr, float opt);
    void setFlag(int32 bit, bool state);

    float sampleRate = 44100.0f;
    EditorBase* editor = nullptr;
    audioMasterCallback hostCallback;
    int32 programCount;
    int32 paramCount;
    int32 curProgram = 0;
    int32 blockSize = 1024;
    AEffect record;
};
