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

    // Stores the value; the index must be valid. Values are not clamped, but an Env Amt
    // within +-0.01 of the centre is stored as 0.5 (the envelope is off there).
    void setValue(std::int32_t index, float value);
    float value(std::int32_t index) const { return values[index].load(); }

    // Takes the host rate for the next run and answers the rate the engine uses: a rate
    // that is not a positive finite number counts as 44100 Hz. It counts from
    // rederiveForRate on.
    float takeHostRate(float hostRate);
    void rederiveForRate();

    // The engine quantities, derived from the stored values and rate alone, so they
    // always belong to one set of settings whoever wrote them last.
    EngineSettings settings() const;
    // Changes with every setValue and rederiveForRate; read it before settings() to learn
    // later whether that copy is still current.
    std::uint32_t changeCount() const { return changes.read(); }
    const std::atomic<std::uint32_t>* changeCounter() const { return changes.address(); }
    std::int32_t oversampleFactor() const { return factor; }
    bool envelopeEnabled() const { return !envelopeDeadZone(values[kEnvAmount].load()); }
    // The editor's readout: N x 22050 x Cutoff^3 / 2.8.
    double approxCutoffHz() const { return approxCutoffHz(factor, values[kCutoff].load()); }
    static double approxCutoffHz(std::int32_t oversampleFactor, float cutoff);

    // The display text of a value: at most kDisplayTextSize bytes with the terminator.
    static constexpr int kDisplayTextSize = 10;
    static void formatValue(std::int32_t index, float value, char* text);
    void display(std::int32_t index, char* text) const;

private:
    static bool envelopeDeadZone(float value);

    ChangeCounter changes;
    const std::int32_t factor;
    const float referenceRate;
    float pendingRate;  // written and read only while the audio is stopped
    RelaxedAtomic<float> oversampledRate;
    RelaxedAtomic<float> cutoffCoefLimit;

    RelaxedAtomic<float> values[kNumParams];
};
