#include "plugin/PluginDescription.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dsp/ParameterModel.h"

namespace {

constexpr std::int32_t fourChars(char a, char b, char c, char d) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(a) << 24) |
                                     (static_cast<std::uint32_t>(b) << 16) |
                                     (static_cast<std::uint32_t>(c) << 8) |
                                     static_cast<std::uint32_t>(d));
}

#define QV_TEXT(x) #x
#define QV_VERSION_TEXT(major, minor, micro) QV_TEXT(major) "." QV_TEXT(minor) "." QV_TEXT(micro)

const PluginIdentity kIdentity = {
    "Quorvane",
    "Quorvane",
    "https://quorvane.audio/",
    "support@quorvane.audio",
    QV_VERSION_TEXT(QV_VERSION_MAJOR, QV_VERSION_MINOR, QV_VERSION_MICRO),
    QV_VERSION_MINOR,
    QV_VERSION_MICRO,
    600,
    fourChars('W', 'Q', 'V', '2'),
};

const char* const kModeLabels[] = {"LPF", "HPF"};
const char* const kStageLabels[] = {"1 : -6", "2 : -12", "3 : -18", "4 : -24"};

// Ids are the indices the plug-in has always had: hosts saved sessions by them.
const ParameterDescription kParameters[kNumParams] = {
    {0, "In Trim", "Trim", "Gain %", 0.5f, 0, nullptr},
    {1, "LPF/HPF", "Mode", "Mode", 0.0f, 1, kModeLabels},
    {2, "Stages", "Stages", "dB/Oct", 1.0f, 3, kStageLabels},
    {3, "Cutoff", "Cutoff", "Level", 0.2f, 0, nullptr},
    {4, "Reso", "Reso", "Amt", 0.0f, 0, nullptr},
    {5, "Env Amt", "Env", "Depth", 0.5f, 0, nullptr},
    {6, "Attack", "Attack", "Lag", 0.9f, 0, nullptr},
    {7, "Release", "Release", "Lag", 0.9f, 0, nullptr},
    {8, "Out Sat", "Sat", "Gain %", 0.0f, 0, nullptr},
};

// In Trim, Mode, Stages, Cutoff, Reso, Env Amt, Attack, Release, Out Sat.
const FactoryProgramValues kFactoryPrograms[kNumPrograms] = {
    {"LPF", {0.5f, 0.0f, 1.0f, 0.2f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f}},
    {"HPF", {0.5f, 1.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f}},
    {"Toasty Tubes", {1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.3f, 0.0f, 0.0f, 0.65f}},
    {"Ottawa", {0.5f, 1.0f, 1.0f, 0.0f, 0.55f, 0.85f, 0.5f, 0.9664f, 0.72f}},
    {"Inv Env Follow", {0.5f, 0.0f, 1.0f, 0.43f, 0.2f, 0.1f, 0.9f, 0.9f, 0.0f}},
    {"Grungelizer", {0.5f, 0.0f, 1.0f, 0.2f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Inverse Grungelizer", {0.5f, 0.0f, 1.0f, 0.5f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f}},
    {"HPF Grungelizer", {0.5f, 1.0f, 1.0f, 0.12f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Planet JX-3P", {0.5f, 0.0f, 1.0f, 0.3f, 0.6f, 0.1812f, 0.6979f, 0.9664f, 0.919462f}},
    {"Wet Suction", {0.5f, 1.0f, 1.0f, 0.4f, 0.3758f, 0.0872f, 0.7919f, 0.302f, 0.74f}},
    {"Ray Gun", {0.5f, 1.0f, 1.0f, 0.2f, 0.8f, 0.77f, 0.0f, 0.9664f, 0.6f}},
    {"Neighbour's Party", {0.5f, 0.0f, 1.0f, 0.1141f, 0.5033f, 0.7315f, 0.0f, 0.0f, 0.6f}},
    {"Alien Computer", {0.5f, 1.0f, 1.0f, 0.34f, 0.7f, 0.2f, 0.37f, 0.2f, 0.64f}},
    {"Blown Woofer", {0.5f, 1.0f, 1.0f, 0.15f, 0.0f, 0.9f, 0.0f, 0.0f, 0.0f}},
    {"Blown Tweeter", {0.5f, 0.0f, 1.0f, 0.5f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f}},
    {"MIDI Exp Wah-wah", {0.5f, 1.0f, 0.75f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f}},
};

float clamp01(double v) { return static_cast<float>(v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v); }

// A whole text that is one number, blanks around it allowed.
bool readNumber(const char* text, double& number) {
    char* end = nullptr;
    const double n = std::strtod(text, &end);
    if (end == text || !std::isfinite(n)) return false;
    while (*end == ' ') ++end;
    if (*end != 0) return false;
    number = n;
    return true;
}

}  // namespace

const PluginIdentity& pluginIdentity() { return kIdentity; }

const ParameterDescription& parameterDescription(std::int32_t index) { return kParameters[index]; }

std::int32_t parameterIndexForId(std::uint32_t id) {
    for (std::int32_t i = 0; i < kNumParams; ++i)
        if (kParameters[i].id == id) return i;
    return -1;
}

const FactoryProgramValues& factoryProgram(std::int32_t index) { return kFactoryPrograms[index]; }

void parameterValueText(std::int32_t index, float value, char (&text)[kParameterTextSize]) {
    static_assert(kParameterTextSize >= ParameterModel::kDisplayTextSize, "the display fits");
    text[0] = 0;
    ParameterModel::formatValue(index, value, text);
}

// Stage positions sit a third apart, inside the ranges the engine counts as 1 to 4
// stages; the two modes at 0 and 1.
float stepValue(std::int32_t index, std::int32_t position) {
    const std::int32_t steps = kParameters[index].stepCount;
    return steps > 0 ? static_cast<float>(position) / static_cast<float>(steps) : 0.0f;
}

bool parameterValueFromText(std::int32_t index, const char* text, float& value) {
    if (!ParameterModel::isValidIndex(index) || !text) return false;
    while (*text == ' ') ++text;
    const ParameterDescription& p = kParameters[index];
    if (p.choiceLabels) {
        for (std::int32_t i = 0; i <= p.stepCount; ++i) {
            if (std::strcmp(text, p.choiceLabels[i]) == 0) {
                value = stepValue(index, i);
                return true;
            }
        }
    }
    if (std::strcmp(text, "OFF") == 0 && (index == kEnvAmount || index == kOutSat)) {
        value = index == kEnvAmount ? 0.5f : 0.0f;
        return true;
    }
    double n = 0.0;
    if (index == kStages) {
        // "3" alone, or the display's "3 : -18".
        char* end = nullptr;
        const long count = std::strtol(text, &end, 10);
        if (end == text || count < 1 || count > 4) return false;
        value = stepValue(index, static_cast<std::int32_t>(count - 1));
        return true;
    }
    if (index == kMode || !readNumber(text, n)) return false;
    switch (index) {
        case kInTrim: value = clamp01(n / 200.0); break;
        case kEnvAmount: value = clamp01((n / 100.0 + 1.0) / 2.0); break;
        default: value = clamp01(n / 100.0); break;
    }
    return true;
}
