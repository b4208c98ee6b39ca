#include "tests/support/ReferenceFilter.h"

#include <cmath>
#include <limits>

namespace {

float feedbackGainOf(float k, float reso) {
    double k6 = (double)k * k * k * k * k * k;
    return (float)((1.0 - k6) * (((double)k * 1.45f + 1.2f) * reso * 4.0f));
}

float cutoffCoefOf(float c, float referenceRate, float oversampledRate, float limit) {
    float k = (float)((double)c * referenceRate * c * c / oversampledRate);
    return k > limit ? limit : k;
}

}  // namespace

ReferenceFilter::ReferenceFilter(int channelCount, int oversampleFactor)
    : channels(channelCount), n(oversampleFactor) {
    referenceRate = (float)(n * 44100.0);
    oversampledRate = referenceRate;
    kLimit = std::numeric_limits<float>::infinity();
}

void ReferenceFilter::setParameter(int index, float value) {
    values[index] = value;
    derive(index);
}

void ReferenceFilter::derive(int index) {
    float value = values[index];
    switch (index) {
        case 0: inputGain = (float)(value * 2.0); break;
        case 1: highPass = value >= 0.5f; break;
        case 2: stageCount = (int)(value * (double)3.999f + 1.0); break;
        case 3:
        case 4: {
            float k = cutoffCoefOf(values[3], referenceRate, oversampledRate, kLimit);
            cutoffCoef = k;
            poleCoef = (float)(1.0 - k);
            feedbackGain = feedbackGainOf(k, values[4]);
            resoMakeupGain = (float)((double)poleCoef * values[4] * 6.0f + 1.0);
            break;
        }
        case 5: {
            float e = (float)(((double)value * 2.0 - 1.0) * 0.99999f);
            envEnabled = !(e < 0.02f && e > -0.02f);
            if (!envEnabled) {
                values[5] = 0.5f;
                e = 0;
            }
            double e4 = (double)e * e * e * e;
            envDepth = (float)(e >= 0 ? e4 * 4.0f : e4 * -4.0f);
            break;
        }
        case 6:
            attackCoef = value < 0 ? 0.0f : (float)std::pow((double)value, (double)0.005f);
            attackRest = (float)(1.0 - attackCoef);
            break;
        case 7:
            releaseCoef = value < 0 ? 0.0f : (float)std::pow((double)value, (double)0.005f);
            releaseRest = (float)(1.0 - releaseCoef);
            break;
        case 8: satEnabled = value != 0; break;
    }
}

void ReferenceFilter::resume(float hostRate) {
    for (ReferenceChannel& s : channel) s = ReferenceChannel();
    float fs = (hostRate > 0 && std::isfinite(hostRate)) ? hostRate : 44100.0f;
    oversampledRate = (float)(n * (double)fs);
    kLimit = fs < 44100.0f ? 1.0f : std::numeric_limits<float>::infinity();
    derive(5);
    derive(6);
    derive(7);
    derive(3);
}

float ReferenceFilter::sample(ReferenceChannel& s, float input) {
    const float d = 1e-11f;
    float x = (float)((double)input * inputGain);
    float k = cutoffCoef, pk = poleCoef, g = feedbackGain;
    if (envEnabled) {
        float r = std::fabs(x);
        if (r > s.envelope)
            s.envelope = (float)((double)r * attackRest + (double)attackCoef * s.envelope);
        else
            s.envelope = (float)((double)r * releaseRest + (double)releaseCoef * s.envelope);
        float c = (float)((double)envDepth * s.envelope + values[3]);
        if (c > 1)
            c = 1;
        else if (c < 0)
            c = 0;
        k = cutoffCoefOf(c, referenceRate, oversampledRate, kLimit);
        pk = (float)(1.0 - k);
        g = feedbackGainOf(k, values[4]);
    }
    float acc = 0;
    float u = (float)((double)x - d);
    for (int i = 0; i < n; ++i) {
        float t = (float)((double)u - s.feedback);
        s.stage1 = (float)((double)t * k + (double)s.stage1 * pk);
        float cur = s.stage1;
        if (stageCount > 1) cur = s.stage2 = (float)((double)s.stage2 * pk + (double)k * cur + d);
        if (stageCount > 2) cur = s.stage3 = (float)((double)s.stage3 * pk + (double)k * cur - d);
        if (stageCount > 3) cur = s.stage4 = (float)((double)s.stage4 * pk + (double)k * cur + d);
        s.feedback = (float)((double)g * cur);
        if (s.feedback > 1.0f)
            s.feedback = 1.0f;
        else if (s.feedback < -1.0f)
            s.feedback = -1.0f;
        double o = (double)resoMakeupGain * cur;
        if (highPass) o = u - o;
        acc = (float)(o + acc);
    }
    float y = (float)((double)acc / (float)n);
    if (satEnabled) {
        float z = (float)((double)y * values[8]);
        y = (float)((double)z - (double)z * z * z);
    }
    return y;
}

void ReferenceFilter::process(float** inputs, float** outputs, int frames, bool replacing) {
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            if (!connected[c]) continue;
            float y = sample(channel[c], inputs[c][i]);
            outputs[c][i] = replacing ? y : (float)((double)outputs[c][i] + y);
        }
    }
}
