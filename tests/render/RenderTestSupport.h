// Shared pieces of the render tool's tests: scratch directories, test signals, audio
// files read back, and runs of the tool in this process or as a program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Audio {
    int sampleRate = 44100;
    int channels = 1;
    int format = 0;  // libsndfile format of a file read back
    std::vector<float> samples;  // interleaved
    std::int64_t frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
    float at(std::int64_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// Sines of the given frequency in every channel, the same in each.
Audio makeSine(int sampleRate, int channels, double seconds, double frequency, double amplitude);
// Deterministic white noise, different in each channel.
Audio makeNoise(int sampleRate, int channels, double seconds, double amplitude);

// Writes a file with the libsndfile format given (container | subtype).
void writeAudio(const std::string& path, const Audio& audio, int sfFormat);
// Reads a file back; an empty result when it cannot be opened.
Audio readAudio(const std::string& path);

double rms(const Audio& audio, int channel);

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    std::string file(const std::string& name) const { return path + "/" + name; }
    // Every entry in the directory, for checking that nothing was left behind.
    std::vector<std::string> entries() const;
    const std::string path;
};

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The tool's whole run in this process, with captured output.
ToolRun runTool(const std::vector<std::string>& arguments);
// The built executable, through the shell; answers its exit status.
int runToolProgram(const std::string& arguments);

// A copy of our plug-in in a directory of its own, so its settings file stays private.
std::string privateQuorvaneCopy(const ScratchDirectory& directory);
