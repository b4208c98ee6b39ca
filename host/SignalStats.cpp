#include "host/SignalStats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

SignalStats::SignalStats(int channels) : peaks(channels, 0.0), sumsOfSquares(channels, 0.0) {}

void SignalStats::add(const float* interleaved, std::int64_t frames) {
    const int count = channels();
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < count; ++channel) {
            const double sample = interleaved[frame * count + channel];
            if (!std::isfinite(sample)) {
                if (nonFiniteCount++ == 0) firstNonFinite = frameCount + frame;
                continue;
            }
            peaks[channel] = std::max(peaks[channel], std::fabs(sample));
            sumsOfSquares[channel] += sample * sample;
        }
    }
    frameCount += frames;
}

double SignalStats::rms(int channel) const {
    return frameCount ? std::sqrt(sumsOfSquares[channel] / static_cast<double>(frameCount)) : 0.0;
}

double SignalStats::overallPeak() const {
    return peaks.empty() ? 0.0 : *std::max_element(peaks.begin(), peaks.end());
}

double SignalStats::overallRms() const {
    const double samples = static_cast<double>(frameCount) * channels();
    if (samples == 0.0) return 0.0;
    return std::sqrt(std::accumulate(sumsOfSquares.begin(), sumsOfSquares.end(), 0.0) / samples);
}
