// The LV2 plug-ins' identities and port layout, shared by the binaries and the program
// that writes their description, so they always agree.
#pragma once

#include <cstdint>

#include "dsp/Parameters.h"

struct Lv2Variant {
    const char* uri;
    const char* name;
    int channels;
};

constexpr Lv2Variant kLv2Variants[] = {
    {"https://quorvane.audio/lv2/mono", "Quorvane Mono", 1},
    {"https://quorvane.audio/lv2/stereo", "Quorvane Stereo", 2},
};
constexpr int kLv2VariantCount = sizeof kLv2Variants / sizeof kLv2Variants[0];

// Ports: the nine parameters at their VST 2 indices, then the audio inputs, the audio
// outputs and the MIDI input.
constexpr std::uint32_t audioInputPort(int channel) { return kNumParams + channel; }
constexpr std::uint32_t audioOutputPort(int channels, int channel) {
    return kNumParams + channels + channel;
}
constexpr std::uint32_t midiInputPort(int channels) { return kNumParams + 2 * channels; }
constexpr std::uint32_t portCount(int channels) { return midiInputPort(channels) + 1; }

// The binaries' file names inside the bundle.
constexpr const char* kLv2BinaryName = "Quorvane_dsp.so";
constexpr const char* kLv2UiBinaryName = "Quorvane_ui.so";

// The panel, one X11 UI for both plug-ins.
constexpr const char* kLv2UiUri = "https://quorvane.audio/lv2/ui";
