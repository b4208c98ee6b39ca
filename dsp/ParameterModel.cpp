#include "dsp/ParameterModel.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "dsp/CutoffLaw.h"

namespace {

struct ParameterText {
    const char* name;
    const char* label;
};

const ParameterText kParameterTexts[kNumParams] = {
    {"In Trim", "Gain %"}, {"LPF/HPF", "Mode"}, {"Stages", "dB/Oct"},
    {"Cutoff", "Level"},   {"Reso", "Amt"},     {"Env Amt", "Depth"},
    {"Attack", "Lag"},     {"Release", "Lag"},  {"Out Sat", "Gain %"},
};

// Truncates toward zero, saturating at the ends of the 32-bit range.
std::int32_t truncateSaturating(double x) {
    if (x >= 2147483647.0) return 2147483647;
    if (x <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(x);
}

// A per-sample smoothing factor: pow in double, never powf, so every platform agrees.
// Below 0, where pow has no real value, the factor is that of 0: follow at once.
float smoothingCoef(float value) {
    if (!(value > 0.0f)) return 0.0f;
    return static_cast<float>(std::pow(static_cast<double>(value), static_cast<double>(0.005f)));
}

}  // namespace

ParameterModel::ParameterModel(std::int32_t oversampleFactor)
    : factor(oversampleFactor),
      referenceRate(static_cast<float>(oversampleFactor * 44100.0)),
      oversampledRate(referenceRate),
      cutoffCoefLimit(std::numeric_limits<float>::infinity()) {}

void ParameterModel::setValue(std::int32_t index, float value) {
    values[index].store(value);
    switch (index) {
        case kInTrim: deriveInTrim(value); break;
        case kMode: deriveMode(value); break;
        case kStages: deriveStages(value); break;
        case kCutoff: deriveCutoff(value); break;
        case kResonance: deriveResonance(value); break;
        case kEnvAmount: deriveEnvAmount(value); break;
        case kEnvAttack: deriveAttack(value); break;
        case kEnvRelease: deriveRelease(value); break;
        case kOutSat: satEnabled.store(value != 0.0f); break;
        default: break;
    }
    changes.bump();
}

void ParameterModel::deriveInTrim(float value) { inputGain.store(narrow(value * 2.0)); }

// Anything that does not compare >= 0.5 is low-pass.
void ParameterModel::deriveMode(float value) { highPass.store(value >= 0.5f); }

void ParameterModel::deriveStages(float value) {
    stageCount.store(truncateSaturating(value * static_cast<double>(3.999f) + 1.0));
}

void ParameterModel::deriveCutoff(float value) {
    const double k = cutoffCoefFor<double>(value, referenceRate, oversampledRate.load(),
                                           cutoffCoefLimit.load());
    const double pole = narrow(1.0 - k);
    const double resonance = values[kResonance].load();
    cutoffCoef.store(static_cast<float>(k));
    poleCoef.store(static_cast<float>(pole));
    feedbackGain.store(static_cast<float>(feedbackGainFor(k, resonance)));
    resoMakeupGain.store(static_cast<float>(pole * resonance * 6.0f + 1.0));
}

void ParameterModel::deriveResonance(float value) {
    const double k = cutoffCoef.load();
    feedbackGain.store(static_cast<float>(feedbackGainFor<double>(k, value)));
    resoMakeupGain.store(static_cast<float>(value * static_cast<double>(poleCoef.load()) * 6.0f + 1.0));
}

// Settings within +-0.02 of the centre switch the envelope off and snap back to 0.5.
void ParameterModel::deriveEnvAmount(float value) {
    double e = narrow((value * 2.0 - 1.0) * 0.99999f);
    const bool deadZone = e < 0.02f && e > -0.02f;
    if (deadZone) {
        values[kEnvAmount].store(0.5f);
        e = 0.0;
    }
    envEnabled.store(!deadZone);
    const double e4 = e * e * e * e;
    envDepth.store(static_cast<float>(e >= 0.0 ? e4 * 4.0f : e4 * -4.0f));
}

void ParameterModel::deriveAttack(float value) {
    const float coef = smoothingCoef(value);
    attackCoef.store(coef);
    attackComplement.store(static_cast<float>(1.0 - coef));
}

void ParameterModel::deriveRelease(float value) {
    const float coef = smoothingCoef(value);
    releaseCoef.store(coef);
    releaseComplement.store(static_cast<float>(1.0 - coef));
}

// Below 44100 Hz the cube law would push k above 1, where the stages ring and grow;
// there k stops at 1, the filter fully open. From 44100 Hz on k is not limited.
float ParameterModel::takeHostRate(float hostRate) {
    const float rate = (hostRate > 0.0f && hostRate <= std::numeric_limits<float>::max())
                           ? hostRate
                           : kReferenceHostRate;
    oversampledRate.store(static_cast<float>(factor * static_cast<double>(rate)));
    cutoffCoefLimit.store(rate < kReferenceHostRate ? 1.0f
                                                    : std::numeric_limits<float>::infinity());
    changes.bump();
    return rate;
}

void ParameterModel::rederiveForRate() {
    deriveEnvAmount(values[kEnvAmount].load());
    deriveAttack(values[kEnvAttack].load());
    deriveRelease(values[kEnvRelease].load());
    deriveCutoff(values[kCutoff].load());
    changes.bump();
}

EngineSettings ParameterModel::settings() const {
    EngineSettings s;
    s.inputGain = inputGain.load();
    s.highPass = highPass.load();
    s.stageCount = stageCount.load();
    s.cutoffCoef = cutoffCoef.load();
    s.poleCoef = poleCoef.load();
    s.feedbackGain = feedbackGain.load();
    s.resoMakeupGain = resoMakeupGain.load();
    s.envEnabled = envEnabled.load();
    s.envDepth = envDepth.load();
    s.attackCoef = attackCoef.load();
    s.attackComplement = attackComplement.load();
    s.releaseCoef = releaseCoef.load();
    s.releaseComplement = releaseComplement.load();
    s.satEnabled = satEnabled.load();
    s.satDrive = values[kOutSat].load();
    s.cutoff = values[kCutoff].load();
    s.resonance = values[kResonance].load();
    s.oversampleFactor = factor;
    s.referenceRate = referenceRate;
    s.oversampledRate = oversampledRate.load();
    s.cutoffCoefLimit = cutoffCoefLimit.load();
    return s;
}

double ParameterModel::approxCutoffHz(std::int32_t oversampleFactor, float cutoff) {
    const double c = cutoff;
    const double c3 = narrow(c * c * c);
    return static_cast<double>(static_cast<float>(oversampleFactor)) * 22050.0f * c3 / 2.8f;
}

void ParameterModel::name(std::int32_t index, char* text) {
    if (isValidIndex(index)) std::strncpy(text, kParameterTexts[index].name, 8);
}

void ParameterModel::label(std::int32_t index, char* text) {
    if (isValidIndex(index)) std::strncpy(text, kParameterTexts[index].label, 8);
}

// Values outside 0..1 can format to long numbers; the text is cut to the length of the
// longest text a value in range gives, "-100.0000".
void ParameterModel::display(std::int32_t index, char* text) const {
    if (!isValidIndex(index)) return;
    const double v = values[index].load();
    char full[64];
    switch (index) {
        case kInTrim:
            std::snprintf(full, sizeof full, "%2.4f", inputGain.load() * 100.0);
            break;
        case kMode:
            std::snprintf(full, sizeof full, "%s", highPass.load() ? "HPF" : "LPF");
            break;
        case kStages: {
            const std::int32_t count = stageCount.load();
            std::snprintf(full, sizeof full, "%i : %lli", count, count * -6LL);
            break;
        }
        case kCutoff:
        case kResonance:
            std::snprintf(full, sizeof full, "%3.4f", v * 100.0);
            break;
        case kEnvAmount:
            if (envDepth.load() == 0.0f)
                std::snprintf(full, sizeof full, "OFF");
            else
                std::snprintf(full, sizeof full, "%2.4f", (2.0 * v - 1.0) * 100.0);
            break;
        case kEnvAttack:
        case kEnvRelease:
            std::snprintf(full, sizeof full, "%2.4f", v * 100.0);
            break;
        case kOutSat:
            if (satEnabled.load())
                std::snprintf(full, sizeof full, "%2.4f", v * 100.0);
            else
                std::snprintf(full, sizeof full, "OFF");
            break;
    }
    std::size_t length = 0;
    while (length < kDisplayTextSize - 1 && full[length] != 0) ++length;
    std::memcpy(text, full, length);
    text[length] = 0;
}
