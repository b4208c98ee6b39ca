// Parameter indices and the engine constants every part of the filter shares.
#pragma once

#include <cstdint>

enum ParameterIndex : std::int32_t {
    kInTrim,
    kMode,
    kStages,
    kCutoff,
    kResonance,
    kEnvAmount,
    kEnvAttack,
    kEnvRelease,
    kOutSat,
    kNumParams
};

constexpr std::int32_t kNumPrograms = 16;
constexpr std::int32_t kMaxChannels = 6;

// Added and subtracted alternately through the stages so that silence never decays
// into denormal numbers.
constexpr float kDenormalOffset = 1e-11f;
constexpr float kFeedbackLimit = 1.0f;
// At this host rate k equals Cutoff cubed; below it k could exceed 1.
constexpr float kReferenceHostRate = 44100.0f;
