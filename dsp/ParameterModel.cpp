#include "dsp/ParameterModel.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "dsp/CutoffLaw.h"

namespace {

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
      pendingRate(kReferenceHostRate),
      oversampledRate(referenceRate),
      cutoffCoefLimit(std::numeric_limits<float>::infinity()) {}

// The envelope depth before its curve: the setting's distance from the centre.
static double envelopeOffset(float value) { return narrow((value * 2.0 - 1.0) * 0.99999f); }

bool ParameterModel::envelopeDeadZone(float value) {
    const double e = envelopeOffset(value);
    return e < 0.02f && e > -0.02f;
}

void ParameterModel::setValue(std::int32_t index, float value) {
    if (index == kEnvAmount && envelopeDeadZone(value)) value = 0.5f;
    values[index].store(value);
    changes.bump();
}

// Below 44100 Hz the cube law would push k above 1, where the stages ring and grow;
// there k stops at 1, the filter fully open. From 44100 Hz on k is not limited.
float ParameterModel::takeHostRate(float hostRate) {
    pendingRate = (hostRate > 0.0f && hostRate <= std::numeric_limits<float>::max())
                      ? hostRate
                      : kReferenceHostRate;
    return pendingRate;
}

void ParameterModel::rederiveForRate() {
    oversampledRate.store(static_cast<float>(factor * static_cast<double>(pendingRate)));
    cutoffCoefLimit.store(pendingRate < kReferenceHostRate
                              ? 1.0f
                              : std::numeric_limits<float>::infinity());
    changes.bump();
}

EngineSettings ParameterModel::settings() const {
    float v[kNumParams];
    for (int i = 0; i < kNumParams; ++i) v[i] = values[i].load();
    EngineSettings s;
    s.oversampleFactor = factor;
    s.referenceRate = referenceRate;
    s.oversampledRate = oversampledRate.load();
    s.cutoffCoefLimit = cutoffCoefLimit.load();

    s.inputGain = static_cast<float>(v[kInTrim] * 2.0);
    // Anything that does not compare >= 0.5 is low-pass.
    s.highPass = v[kMode] >= 0.5f;
    s.stageCount = truncateSaturating(v[kStages] * static_cast<double>(3.999f) + 1.0);

    const double k = cutoffCoefFor<double>(v[kCutoff], s.referenceRate, s.oversampledRate,
                                           s.cutoffCoefLimit);
    const double pole = narrow(1.0 - k);
    const double resonance = v[kResonance];
    s.cutoffCoef = static_cast<float>(k);
    s.poleCoef = static_cast<float>(pole);
    s.feedbackGain = static_cast<float>(feedbackGainFor(k, resonance));
    s.resoMakeupGain = static_cast<float>(pole * resonance * 6.0f + 1.0);

    s.envEnabled = !envelopeDeadZone(v[kEnvAmount]);
    const double e = s.envEnabled ? envelopeOffset(v[kEnvAmount]) : 0.0;
    const double e4 = e * e * e * e;
    s.envDepth = static_cast<float>(e >= 0.0 ? e4 * 4.0f : e4 * -4.0f);
    s.attackCoef = smoothingCoef(v[kEnvAttack]);
    s.attackComplement = static_cast<float>(1.0 - s.attackCoef);
    s.releaseCoef = smoothingCoef(v[kEnvRelease]);
    s.releaseComplement = static_cast<float>(1.0 - s.releaseCoef);

    s.satEnabled = v[kOutSat] != 0.0f;
    s.satDrive = v[kOutSat];
    s.cutoff = v[kCutoff];
    s.resonance = v[kResonance];
    return s;
}

double ParameterModel::approxCutoffHz(std::int32_t oversampleFactor, float cutoff) {
    const double c = cutoff;
    const double c3 = narrow(c * c * c);
    return static_cast<double>(static_cast<float>(oversampleFactor)) * 22050.0f * c3 / 2.8f;
}

// Values outside 0..1 can format to long numbers; the text is cut to the length of the
// longest text a value in range gives, "-100.0000".
void ParameterModel::display(std::int32_t index, char* text) const {
    if (isValidIndex(index)) formatValue(index, values[index].load(), text);
}

void ParameterModel::formatValue(std::int32_t index, float value, char* text) {
    if (!isValidIndex(index)) return;
    const double v = value;
    char full[64];
    switch (index) {
        case kInTrim:
            std::snprintf(full, sizeof full, "%2.4f", static_cast<float>(v * 2.0) * 100.0);
            break;
        case kMode:
            std::snprintf(full, sizeof full, "%s", value >= 0.5f ? "HPF" : "LPF");
            break;
        case kStages: {
            const std::int32_t count = truncateSaturating(v * static_cast<double>(3.999f) + 1.0);
            std::snprintf(full, sizeof full, "%i : %lli", count, count * -6LL);
            break;
        }
        case kCutoff:
        case kResonance:
            std::snprintf(full, sizeof full, "%3.4f", v * 100.0);
            break;
        case kEnvAmount:
            if (envelopeDeadZone(value))
                std::snprintf(full, sizeof full, "OFF");
            else
                std::snprintf(full, sizeof full, "%2.4f", (2.0 * v - 1.0) * 100.0);
            break;
        case kEnvAttack:
        case kEnvRelease:
            std::snprintf(full, sizeof full, "%2.4f", v * 100.0);
            break;
        case kOutSat:
            if (value != 0.0f)
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
