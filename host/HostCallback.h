// The host's side of the VST 2 conversation: the callback every plug-in instance calls,
// and the state it answers from.
#pragma once

#include <atomic>
#include <thread>
#include <ostream>
#include <vector>

#include "vst2/vst2.h"

constexpr intptr kHostVstVersion = 2400;

struct AutomationNotice {
    int32 index;
    float value;
};

// What one plug-in instance sees of the host. Lives as long as the instance.
struct HostState {
    float sampleRate = 44100.0f;
    int32 blockSize = 512;
    std::vector<AutomationNotice> automation;  // every audioMasterAutomate, in order
    // Off where notices come from several threads or the audio path must not allocate.
    bool recordAutomation = true;
    // Armed by a host that closes the editor from inside its idle: the next call the
    // plug-in makes on idleThread closes the editor before it is answered.
    std::thread::id idleThread;
    std::atomic<bool> closeEditorOnNextCall{false};
    std::atomic<bool> editorClosedInsideIdle{false};
    // When set, automation and begin/end of edit are printed as they arrive.
    std::ostream* editLog = nullptr;
    // The editor window size the plug-in last asked for (audioMasterSizeWindow).
    int32 editorWidth = 0;
    int32 editorHeight = 0;
};

intptr VSTCALL hostCallback(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr,
                            float opt);

// The instance's record does not exist while its entry point runs, so calls made then
// are answered from the state set here.
void setInstantiatingHostState(HostState* state);
// Ties a record to its state once the entry point has returned it.
void bindHostState(AEffect* effect, HostState* state);
