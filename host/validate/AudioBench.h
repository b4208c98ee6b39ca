// Test signals into a plug-in and its output checked, block by block; and the audio and
// automation threads that load a plug-in while another check works on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/HostedPlugin.h"

enum class TestSignal { Noise, Silence, Impulses, Square };
const char* testSignalName(TestSignal signal);

// Anything above +60 dBFS is worth a warning; a plug-in's own ranges may allow it.
constexpr float kLoudLevel = 1000.0f;

class CheckLog;

// What is wrong with output: NaN or infinity is a fault, a very loud output only a
// finding, told with the parameter values that gave it.
struct OutputVerdict {
    std::string nonFinite;  // "" or what and where
    std::string loud;       // "" or the level, where, and the values as --param options
    bool clean() const { return nonFinite.empty() && loud.empty(); }
    // Fails the check on non-finite output, warns on loud output; context leads both.
    void report(const std::string& context, CheckLog& log) const;
};

class AudioBench {
public:
    AudioBench(HostedPlugin& plugin, int maxFrames, std::uint32_t seed);

    // Writes the next frames of the signal to every input, continuing where it stopped.
    void fill(TestSignal signal, int frames, double sampleRate);
    // Processes frames (at most maxFrames) with the call monitor watching when asked.
    void process(int frames, bool watchCalls = false);
    // The last frames processed judged; reads the parameters only when they are loud.
    OutputVerdict inspect(int frames) const;
    // The mean square of the last frames processed, over every output.
    double energy(int frames) const;

private:
    HostedPlugin& plugin;
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    std::mt19937 random;
    std::int64_t position = 0;
};

// Audio on one thread, as fast as it goes, and a parameter or program change every 32
// frames from another. The audio runs the plan's frames, or (with none planned) as many
// as allow() grants, so the same seed gives the same changes however fast the machine.
class BackgroundLoad {
public:
    struct Plan {
        double sampleRate = 44100.0;
        int blockSize = 512;
        std::int64_t frames = 0;  // 0: as granted by allow()
        bool watchCalls = false;
        std::uint32_t seed = 1;
    };
    BackgroundLoad(HostedPlugin& plugin, const Plan& plan);
    ~BackgroundLoad();
    void allow(std::int64_t frames) { granted += frames; }
    // Waits until the frames are done and every change is made; answers the first
    // non-finite and the first loud output.
    OutputVerdict finish();
    std::int64_t framesProcessed() const { return processed.load(); }
    long changesMade() const { return changes.load(); }

private:
    void runAudio();
    void runAutomation();
    void end();

    HostedPlugin& plugin;
    Plan plan;
    AudioBench bench;
    std::atomic<std::int64_t> granted;
    std::atomic<bool> finishing;
    std::atomic<bool> stopping{false};
    std::atomic<bool> audioDone{false};
    std::atomic<std::int64_t> processed{0};
    std::atomic<long> changes{0};
    std::atomic<bool> automationCanChange{true};
    OutputVerdict verdict;  // written by the audio thread only
    std::thread audio, automation;
};
