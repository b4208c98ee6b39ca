// Multi-channel sample buffers and test signals shared by the filter tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

struct Buffers {
    Buffers(int channels, int frames, float fill = 0.0f)
        : data(channels, std::vector<float>(frames, fill)) {}
    // Channel pointers as a host passes them, taken afresh so copies stay separate.
    float** get() {
        pointers.clear();
        for (auto& channel : data) pointers.push_back(channel.data());
        return pointers.data();
    }
    // Pointers to frame `offset` of every channel, for block-wise processing.
    std::vector<float*> at(int offset) {
        std::vector<float*> p;
        for (auto& channel : data) p.push_back(channel.data() + offset);
        return p;
    }
    std::vector<std::vector<float>> data;

private:
    std::vector<float*> pointers;
};

// Uniform noise in [-amplitude, amplitude), a different stream per channel.
inline Buffers noise(int channels, int frames, unsigned seed, float amplitude = 1.0f) {
    Buffers b(channels, frames);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    for (auto& channel : b.data)
        for (float& s : channel) s = dist(random);
    return b;
}

inline std::uint32_t bitsOf(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Index of the first sample whose bits differ, or -1.
inline long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (bitsOf(a[i]) != bitsOf(b[i])) return static_cast<long>(i);
    return -1;
}
