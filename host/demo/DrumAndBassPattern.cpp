#include "host/demo/DrumAndBassPattern.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kStepsPerBar = 16;

// A fixed-seed generator, so the noise is the same on every machine.
class Noise {
public:
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state = 0x9E3779B9u;
};

struct Mix {
    std::vector<double> left, right;
    int rate;

    void add(std::size_t frame, double sample, double pan) {  // pan -1 left .. +1 right
        if (frame >= left.size()) return;
        left[frame] += sample * (1.0 - pan) * 0.5;
        right[frame] += sample * (1.0 + pan) * 0.5;
    }
};

void kick(Mix& mix, std::size_t start) {
    const int length = static_cast<int>(0.45 * mix.rate);
    double phase = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / mix.rate;
        const double frequency = 45.0 + 105.0 * std::exp(-t / 0.03);
        phase += 2.0 * kPi * frequency / mix.rate;
        mix.add(start + i, 0.9 * std::sin(phase) * std::exp(-t / 0.16), 0.0);
    }
}

void snare(Mix& mix, std::size_t start, Noise& noise) {
    const int length = static_cast<int>(0.3 * mix.rate);
    double previous = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / mix.rate;
        const double white = noise.next();
        const double bright = white - 0.6 * previous;  // tilts the noise towards the top
        previous = white;
        const double body = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.05);
        mix.add(start + i, 0.45 * bright * std::exp(-t / 0.09) + 0.4 * body, 0.05);
    }
}

void hat(Mix& mix, std::size_t start, Noise& noise, double level, double pan) {
    const int length = static_cast<int>(0.06 * mix.rate);
    double previous = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / mix.rate;
        const double white = noise.next();
        mix.add(start + i, level * (white - previous) * std::exp(-t / 0.015), pan);
        previous = white;
    }
}

// Two detuned saws, one per side, through a gentle one-pole low-pass.
void bass(Mix& mix, std::size_t start, int length, double frequency) {
    const double detune[2] = {0.997, 1.003};
    const double smoothing = 1.0 - std::exp(-2.0 * kPi * 500.0 / mix.rate);
    for (int side = 0; side < 2; ++side) {
        double phase = 0.0, filtered = 0.0;
        for (int i = 0; i < length; ++i) {
            phase += frequency * detune[side] / mix.rate;
            phase -= std::floor(phase);
            const double envelope = std::min(1.0, i / (0.005 * mix.rate)) *
                                    std::min(1.0, (length - i) / (0.02 * mix.rate));
            filtered += smoothing * ((2.0 * phase - 1.0) - filtered);
            mix.add(start + i, 0.3 * filtered * envelope, side == 0 ? -0.6 : 0.6);
        }
    }
}

}  // namespace

std::vector<float> synthesiseDrumAndBass(int sampleRate, int bars) {
    const double stepSeconds = 60.0 / kPatternTempo / 4.0;
    const std::size_t frames = static_cast<std::size_t>(bars * kStepsPerBar * stepSeconds * sampleRate);
    Mix mix{std::vector<double>(frames), std::vector<double>(frames), sampleRate};
    Noise noise;

    // Semitones above E1 for each bar's root, and the bass notes inside a bar.
    static const int kBarRoots[] = {0, 0, 3, -2};
    static const struct { int step, steps, interval; } kBassNotes[] = {{0, 5, 0}, {6, 3, 12}, {10, 5, 7}};
    for (int bar = 0; bar < bars; ++bar) {
        auto frameOf = [&](int step) {
            return static_cast<std::size_t>((bar * kStepsPerBar + step) * stepSeconds * sampleRate);
        };
        for (int step : {0, 10}) kick(mix, frameOf(step));
        for (int step : {4, 12}) snare(mix, frameOf(step), noise);
        for (int step = 0; step < kStepsPerBar; step += 2)
            hat(mix, frameOf(step), noise, step % 4 == 0 ? 0.25 : 0.15, step % 4 == 0 ? -0.3 : 0.3);
        for (const auto& note : kBassNotes) {
            const int semitones = kBarRoots[bar % 4] + note.interval;
            const double frequency = 41.2034 * std::pow(2.0, semitones / 12.0);
            bass(mix, frameOf(note.step), static_cast<int>(note.steps * stepSeconds * sampleRate), frequency);
        }
    }

    double peak = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    const double gain = peak > 0.0 ? std::pow(10.0, -1.0 / 20.0) / peak : 0.0;
    std::vector<float> interleaved(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = static_cast<float>(mix.left[i] * gain);
        interleaved[2 * i + 1] = static_cast<float>(mix.right[i] * gain);
    }
    return interleaved;
}
