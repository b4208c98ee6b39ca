// The nine normalised parameter values and the engine quantities derived from them.
// Values and quantities are set from any host thread and read by the audio thread.
#pragma once

#include <cstdint>

#include "dsp/ChangeCounter.h"
#include "dsp/EngineSettings.h"
#include "dsp/Parameters.h"
#include "common/RelaxedAtomic.h"

class ParameterModel {
public:
    // oversampleFactor is 8, or 4 in half-power mode.
    explicit ParameterModel(std::int32_t oversampleFactor);

    static bool isValidIndex(std::int32_t index) { return index >= 0 && index < kNumParams; }

    // Stores the value and derives that parameter's engine quantities at once. The index
    // must be valid. Values are not clamped.
    void setValue(std::int32_t index, float value);
    float value(std::int32_t index) const { return values[index].load(); }

    // Takes the host rate for the next run and answers the rate the engine uses: a rate
    // that is not a positive finite number counts as 44100 Hz.
    float takeHostRate(float hostRate);
    // Re-derives the rate-dependent quantities from the stored values.
    void rederiveForRate();

    EngineSettings settings() const;
    // Changes with every setValue, takeHostRate and rederiveForRate; read it before
    // settings() to learn later whether that copy is still current.
    std::uint32_t changeCount() const { return changes.read(); }
    const std::atomic<std::uint32_t>* changeCounter() const { return changes.address(); }
    std::int32_t oversampleFactor() const { return factor; }
    bool envelopeEnabled() const { return envEnabled.load(); }
    // The editor's readout: N x 22050 x Cutoff^3 / 2.8.
    double approxCutoffHz() const { return approxCutoffHz(factor, values[kCutoff].load()); }
    static double approxCutoffHz(std::int32_t oversampleFactor, float cutoff);

    // Texts for the host: names and labels are exactly 8 bytes; display texts are at
    // most kDisplayTextSize bytes with the terminator.
    static constexpr int kDisplayTextSize = 10;
    static void name(std::int32_t index, char* text);
    static void label(std::int32_t index, char* text);
    void display(std::int32_t index, char* text) const;

private:
    void deriveInTrim(float value);
    void deriveMode(float value);
    void deriveStages(float value);
    void deriveCutoff(float value);
    void deriveResonance(float value);
    void deriveEnvAmount(float value);
    void deriveAttack(float value);
    void deriveRelease(float value);

    ChangeCounter changes;
    const std::int32_t factor;
    const float referenceRate;
    RelaxedAtomic<float> oversampledRate;
    RelaxedAtomic<float> cutoffCoefLimit;

    RelaxedAtomic<float> values[kNumParams];

    RelaxedAtomic<float> inputGain;
    RelaxedAtomic<bool> highPass;
    RelaxedAtomic<std::int32_t> stageCount;
    RelaxedAtomic<float> cutoffCoef;
    RelaxedAtomic<float> poleCoef;
    RelaxedAtomic<float> feedbackGain;
    RelaxedAtomic<float> resoMakeupGain;
    RelaxedAtomic<bool> envEnabled;
    RelaxedAtomic<float> envDepth;
    RelaxedAtomic<float> attackCoef;
    RelaxedAtomic<float> attackComplement;
    RelaxedAtomic<float> releaseCoef;
    RelaxedAtomic<float> releaseComplement;
    RelaxedAtomic<bool> satEnabled;
};
