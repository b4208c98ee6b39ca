#include "tests/render/RenderTestSupport.h"

#include <sndfile.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "host/RenderCommand.h"

Audio makeSine(int sampleRate, int channels, double seconds, double frequency, double amplitude) {
    Audio audio;
    audio.sampleRate = sampleRate;
    audio.channels = channels;
    const std::int64_t frames = static_cast<std::int64_t>(seconds * sampleRate);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * 3.14159265358979323846 * frequency * i / sampleRate);
        for (int c = 0; c < channels; ++c) audio.samples.push_back(static_cast<float>(value));
    }
    return audio;
}

Audio makeNoise(int sampleRate, int channels, double seconds, double amplitude) {
    Audio audio;
    audio.sampleRate = sampleRate;
    audio.channels = channels;
    std::uint32_t state = 12345u;
    const std::int64_t count = static_cast<std::int64_t>(seconds * sampleRate) * channels;
    for (std::int64_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        audio.samples.push_back(static_cast<float>(amplitude * (state / 2147483648.0 - 1.0)));
    }
    return audio;
}

void writeAudio(const std::string& path, const Audio& audio, int sfFormat) {
    SF_INFO info = {};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = sfFormat;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return;
    sf_writef_float(file, audio.samples.data(), audio.frames());
    sf_close(file);
}

Audio readAudio(const std::string& path) {
    Audio audio;
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        audio.channels = 1;
        return audio;
    }
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.format = info.format;
    audio.samples.resize(static_cast<std::size_t>(info.frames) * info.channels);
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

double rms(const Audio& audio, int channel) {
    double sum = 0.0;
    for (std::int64_t i = 0; i < audio.frames(); ++i) sum += double(audio.at(i, channel)) * audio.at(i, channel);
    return audio.frames() ? std::sqrt(sum / audio.frames()) : 0.0;
}

namespace {
std::string makeScratch() {
    char pattern[] = "/tmp/quorvane-render-test-XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}
}  // namespace

ScratchDirectory::ScratchDirectory() : path(makeScratch()) {}

ScratchDirectory::~ScratchDirectory() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

std::vector<std::string> ScratchDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    return names;
}

ToolRun runTool(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    ToolRun run;
    run.exitCode = runRenderTool(arguments, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

int runToolProgram(const std::string& arguments) {
    const std::string command = std::string(QV_RENDER_TOOL) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string privateQuorvaneCopy(const ScratchDirectory& directory) {
    const std::string copy = directory.file("Quorvane.so");
    std::filesystem::copy_file(QV_PLUGIN_PATH, copy);
    return copy;
}
