// Test signals into a plug-in and its output checked, block by block; and the audio and
// automation threads that load a plug-in while another check works on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/PluginInstance.h"

enum class TestSignal { Noise, Silence, Impulses, Square };
const char* testSignalName(TestSignal signal);

// Anything above +60 dBFS counts as a runaway output.
constexpr float kRunawayLevel = 1000.0f;

class AudioBench {
public:
    AudioBench(PluginInstance& plugin, int maxFrames, std::uint32_t seed);

    // Writes the next frames of the signal to every input, continuing where it stopped.
    void fill(TestSignal signal, int frames, double sampleRate);
    // Processes frames (at most maxFrames) with the call monitor watching when asked.
    void process(int frames, bool watchCalls = false);
    // "" when the last frames processed are finite and below +60 dBFS, else what is wrong.
    std::string outputProblem(int frames) const;

private:
    PluginInstance& plugin;
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    std::mt19937 random;
    std::int64_t position = 0;
};

// Audio on one thread (as fast as it goes, or paced like a sound card) and a parameter or
// program change every 32 frames from another, until the frames are done or stop().
class BackgroundLoad {
public:
    struct Plan {
        double sampleRate = 44100.0;
        int blockSize = 512;
        std::int64_t frames = 0;  // 0: until stop()
        bool paced = false;
        bool watchCalls = false;
        std::uint32_t seed = 1;
    };
    BackgroundLoad(PluginInstance& plugin, const Plan& plan);
    ~BackgroundLoad();
    // Ends the load now, or once its frames are done; answers the first output problem,
    // "" when there was none.
    std::string stop();
    std::string finish();
    std::int64_t framesProcessed() const { return processed.load(); }
    long changesMade() const { return changes.load(); }

private:
    void runAudio();
    void runAutomation();

    PluginInstance& plugin;
    Plan plan;
    AudioBench bench;
    std::atomic<bool> stopping{false};
    std::atomic<bool> audioDone{false};
    std::atomic<std::int64_t> processed{0};
    std::atomic<long> changes{0};
    std::atomic<bool> automationCanChange{true};
    std::string problem;  // written by the audio thread only
    std::thread audio, automation;
};
