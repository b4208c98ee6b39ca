// Peak and RMS per channel of a stream of interleaved frames, and where it first went
// non-finite.
#pragma once

#include <cstdint>
#include <vector>

class SignalStats {
public:
    explicit SignalStats(int channels);

    void add(const float* interleaved, std::int64_t frames);

    int channels() const { return static_cast<int>(peaks.size()); }
    std::int64_t frames() const { return frameCount; }
    double peak(int channel) const { return peaks[channel]; }
    double rms(int channel) const;
    double overallPeak() const;
    double overallRms() const;

    // NaN and infinite samples are counted here and left out of peak and RMS.
    std::int64_t nonFiniteSamples() const { return nonFiniteCount; }
    std::int64_t firstNonFiniteFrame() const { return firstNonFinite; }

private:
    std::vector<double> peaks;
    std::vector<double> sumsOfSquares;
    std::int64_t frameCount = 0;
    std::int64_t nonFiniteCount = 0;
    std::int64_t firstNonFinite = -1;
};
