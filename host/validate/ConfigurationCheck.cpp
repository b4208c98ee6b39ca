// Check 7, for Quorvane only: damaged settings files beside a copy of the plug-in must
// give working defaults and a message, never a crash.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "host/PluginInstance.h"
#include "host/platform/HostEnvironment.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace fs = std::filesystem;

namespace {

constexpr int32 kQuorvaneId = fourCharCode('W', 'Q', 'V', '2');
constexpr const char* kSettingsFile = "Quorvane.ini";

struct DamagedFile {
    const char* what;
    std::string contents;
    int channels;         // expected, or 0 for any from 1 to 6
    const char* message;  // expected on standard error, or null for none required
};

std::string garbage(std::uint32_t seed, std::size_t size) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::vector<DamagedFile> damagedFiles(std::uint32_t seed) {
    return {
        {"keys without values", "NUMCHANNELS\nMIDICCCUTOFF\n", 2, "Bad NUMCHANNELS"},
        {"an empty file", "", 2, nullptr},
        {"random bytes", garbage(seed, 4096), 0, nullptr},
        {"a line of 5000 characters", "MIDICCRESONANCE " + std::string(5000, '9') + "\n", 2, nullptr},
        {"values out of range", "NUMCHANNELS 99\nMIDICCCUTOFF -5 nan inf\nMIDICCINTRIM 999 2 -2\n", 6, nullptr},
        {"words for numbers", "NUMCHANNELS two\nMIDICCSTAGES many\n", 2, nullptr},
    };
}

fs::path makeScratchDirectory(std::uint32_t seed) {
    std::mt19937 random(seed ^ static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (;;) {
        const fs::path path = fs::temp_directory_path() / ("quorvane-validate-" + std::to_string(random()));
        if (fs::create_directory(path)) return path;
    }
}

void tryFile(const ValidationSettings& settings, const fs::path& directory, const DamagedFile& file, CheckLog& log) {
    const fs::path copy = directory / fs::path(settings.pluginPath).filename();
    fs::copy_file(settings.pluginPath, copy);
    std::ofstream(directory / kSettingsFile, std::ios::binary) << file.contents;

    StreamCapture messages(stderr);
    PluginInstance plugin(copy.string());
    const std::string said = messages.finish();
    const std::string about = std::string("with ") + file.what + ": ";
    const int channels = plugin.record().numOutputs;
    if (file.channels ? channels != file.channels : channels < 1 || channels > 6)
        log.fail(about + std::to_string(channels) + " channels");
    if (file.message && said.find(file.message) == std::string::npos)
        log.fail(about + "no \"" + file.message + "\" message");

    plugin.configure(44100.0f, 512);
    plugin.start();
    AudioBench bench(plugin, 512, settings.seed);
    bench.fill(TestSignal::Noise, 512, 44100.0);
    bench.process(512);
    bench.inspect(512).report(about, log);
    plugin.stop();
}

}  // namespace

void checkConfiguration(const ValidationSettings& settings, CheckLog& log) {
    if (skippedForOtherFormats(settings, log)) return;
    {
        PluginInstance plugin(settings.pluginPath);
        if (plugin.record().uniqueID != kQuorvaneId) return log.skip("not Quorvane");
    }
    // Messages would otherwise wait for a click in a window.
    if (!hideDisplayFromPlugins()) return log.skip("messages would wait for a click here");
    const fs::path scratch = makeScratchDirectory(settings.seed);
    const std::vector<DamagedFile> files = damagedFiles(settings.seed);
    for (std::size_t i = 0; i < files.size(); ++i) {
        markProgress(std::string("settings file with ") + files[i].what);
        const fs::path directory = scratch / std::to_string(i);
        fs::create_directory(directory);
        tryFile(settings, directory, files[i], log);
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    log.note(std::to_string(files.size()) + " damaged settings files tried");
}
