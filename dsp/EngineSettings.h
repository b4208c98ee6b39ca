// One consistent copy of the shared engine quantities, taken once per frame.
#pragma once

#include <cstdint>

struct EngineSettings {
    float inputGain;
    bool highPass;
    std::int32_t stageCount;
    float cutoffCoef;  // k
    float poleCoef;    // 1 - k
    float feedbackGain;
    float resoMakeupGain;
    bool envEnabled;
    float envDepth;
    float attackCoef;
    float attackComplement;
    float releaseCoef;
    float releaseComplement;
    bool satEnabled;
    float satDrive;  // the stored Out Sat value
    float cutoff;     // the stored Cutoff value, moved by the envelope
    float resonance;  // the stored Reso value
    std::int32_t oversampleFactor;
    float referenceRate;
    float oversampledRate;
    float cutoffCoefLimit;  // infinity at 44100 Hz and above
};
