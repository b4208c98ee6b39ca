// The render tool's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/AudioFile.h"

struct ParameterSetting {
    std::string parameter;  // index or name
    float value = 0.0f;
};

struct TimedMidiMessage {
    double seconds = 0.0;
    unsigned char bytes[3] = {};
};

struct RenderOptions {
    bool help = false;
    bool list = false;
    bool edit = false;
    std::string snapshotPath;  // --snapshot: the editor's picture instead of audio
    double scale = 0.0;        // --scale with --snapshot or --edit: sent as a host's scale; 0: none
    bool quiet = false;
    bool brief = false;
    bool verbose = false;  // --validate: what the plug-in printed, too
    std::string pluginPath;
    std::string pluginId;  // --plugin-id: which plug-in of a file that holds several
    std::string inputPath;
    std::string outputPath;
    std::optional<std::string> program;  // number or name
    std::vector<ParameterSetting> parameters;  // in command-line order
    int blockSize = 512;
    double tailSeconds = 0.0;
    std::vector<TimedMidiMessage> midi;  // in command-line order
    std::optional<SampleEncoding> encoding;
    bool dropChannels = false;
    bool allowOutOfRange = false;
    bool allowNonFinite = false;
    bool allowShortInput = false;
    bool compensateLatency = true;
    bool validate = false;
    int level = 2;           // --validate: 1..5
    std::uint32_t seed = 1;  // --validate
    std::string reportPath;  // --validate: JSON report, when given
};

// Throws HostError: Usage for malformed options, ValueOutOfRange for a parameter value
// outside 0..1 without --allow-out-of-range.
RenderOptions parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText();
