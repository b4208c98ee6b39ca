// What the probe plug-in saw of its host; the tests read it through the exported symbol
// "fakeProbe" of a library they keep loaded themselves.
#pragma once

#include <cstdint>

#include "vst2/vst2.h"

struct FakeProbe {
    intptr versionAnswer = -1;           // asked in the entry point
    intptr entrySampleRateAnswer = -1;   // asked in the entry point
    intptr sampleRateAnswer = -1;        // asked when switched on
    intptr blockSizeAnswer = -1;         // asked when switched on
    intptr processLevelAnswer = -1;      // asked when switched on
    intptr unknownOpcodeAnswer = -1;     // opcode 9999, asked when switched on
    int32 opcodes[256] = {};             // dispatcher opcodes in arrival order
    int opcodeCount = 0;
    float sampleRate = 0.0f;             // from effSetSampleRate
    intptr blockSize = 0;                // from effSetBlockSize
    int largestBlock = 0;
    std::int64_t framesProcessed = 0;
    int eventCount = 0;
    std::int64_t eventFrames[32] = {};   // absolute frame of each MIDI event
    unsigned char eventBytes[32][3] = {};
    int instancesAlive = 0;
};

// The probe's parameters and programs.
enum FakeParameter { kFakeGain, kFakePoison, kFakeNumParams };
// Output = input × Gain × 2. Poison at 1 writes NaN at frame 100 and +inf at frame 101.
constexpr std::int64_t kFakePoisonFrame = 100;
