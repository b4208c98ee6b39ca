// The configuration file and MIDI control as a host and a user see them.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/HostHarness.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void closeEffect(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

intptr sendMidi(AEffect* effect, std::vector<std::vector<int>> messages) {
    std::vector<VstMidiEvent> events(messages.size());
    std::vector<unsigned char> bytes(sizeof(VstEvents) + messages.size() * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(bytes.data());
    list->numEvents = static_cast<int32>(messages.size());
    VstEvent** slots = list->events;
    for (size_t i = 0; i < messages.size(); ++i) {
        events[i].type = kVstMidiType;
        events[i].byteSize = sizeof(VstMidiEvent);
        for (size_t b = 0; b < 3; ++b) events[i].midiData[b] = static_cast<char>(messages[i][b]);
        slots[i] = reinterpret_cast<VstEvent*>(&events[i]);
    }
    return effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.0f);
}

TEST(ConfigurationHost, FirstStartWritesTheDefaultFileBesideTheLibrary) {
    RecordingHost host;
    LoadedPlugin plugin;
    const std::string ini = plugin.directory() + "/Quorvane.ini";
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    const std::string text = readText(ini);
    EXPECT_EQ(text.find("// Quorvane Configuration File"), 0u);
    EXPECT_NE(text.find("\nNUMCHANNELS 2\n"), std::string::npos);
    EXPECT_NE(text.find("\nMIDICCCUTOFF 11 0.000000 0.500000\n"), std::string::npos);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->flags, 25);
    closeEffect(effect);

    // The second start reads the file and leaves it as it was.
    AEffect* again = plugin.instantiate();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(readText(ini), text);
    closeEffect(again);
}

TEST(ConfigurationHost, SilentHostCreatesNoFile) {
    RecordingHost host;
    host.versionAnswer = 0;
    LoadedPlugin plugin;
    EXPECT_EQ(plugin.instantiate(), nullptr);
    EXPECT_TRUE(readText(plugin.directory() + "/Quorvane.ini").empty());
}

TEST(ConfigurationHost, ChannelCountComesFromTheFile) {
    RecordingHost host;
    LoadedPlugin plugin;
    writeText(plugin.directory() + "/Quorvane.ini", "NUMCHANNELS 6\n");
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numInputs, 6);
    EXPECT_EQ(effect->numOutputs, 6);
    EXPECT_EQ(host.callsWith(audioMasterPinConnected).size(), 12u);
    closeEffect(effect);
}

TEST(ConfigurationHost, ARenamedLibraryStillReadsTheFileBesideItself) {
    RecordingHost host;
    LoadedPlugin plugin(QV_PLUGIN_PATH, "MyFilter.so");
    writeText(plugin.directory() + "/Quorvane.ini", "NUMCHANNELS 1\n");
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numInputs, 1);
    closeEffect(effect);
}

TEST(ConfigurationHost, ProblemsReachTheUserWithoutADisplay) {
    const char* display = getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    RecordingHost host;
    LoadedPlugin plugin;
    writeText(plugin.directory() + "/Quorvane.ini", "NUMCHANNELS\nMIDICCCUTOFF\n");
    testing::internal::CaptureStderr();
    AEffect* effect = plugin.instantiate();
    const std::string said = testing::internal::GetCapturedStderr();
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_NE(effect, nullptr);
    EXPECT_NE(said.find("Quorvane.ini: Bad NUMCHANNELS\n"), std::string::npos) << said;
    EXPECT_NE(said.find("Quorvane.ini: Bad MIDICCCUTOFF\n"), std::string::npos) << said;
    EXPECT_EQ(effect->numInputs, 2);
    closeEffect(effect);
}

// RMS of the second half of a 1 kHz tone through a fresh instance of the library.
double toneThroughFreshInstance(const std::string& configuration) {
    RecordingHost host;
    LoadedPlugin plugin;
    writeText(plugin.directory() + "/Quorvane.ini", configuration);
    AEffect* effect = plugin.instantiate();
    if (!effect) return -1.0;
    const int frames = 8192;
    std::vector<float> left(frames), right(frames), outLeft(frames), outRight(frames);
    for (int n = 0; n < frames; ++n)
        left[n] = right[n] = static_cast<float>(0.5 * std::sin(2 * M_PI * 1000.0 * n / 44100.0));
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
    double sum = 0;
    for (int n = frames / 2; n < frames; ++n) sum += outLeft[n] * outLeft[n];
    closeEffect(effect);
    return std::sqrt(sum / (frames / 2));
}

TEST(ConfigurationHost, HalfPowerPutsTheFilterLower) {
    const double full = toneThroughFreshInstance("");
    const double half = toneThroughFreshInstance("HALFPOWER\n");
    ASSERT_GT(full, 0.0);
    EXPECT_LT(half, full * 0.6) << "the same Cutoff sits an octave lower in half-power mode";
}

TEST(MidiHost, ControlChangeSetsTheParameterAndTellsTheHost) {
    RecordingHost host;
    LoadedPlugin plugin;
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    host.clear();
    EXPECT_EQ(sendMidi(effect, {{0xB3, 11, 127}, {0xB0, 74, 10}}), 1);
    auto automation = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automation.size(), 1u);
    EXPECT_EQ(automation[0].index, 3);
    EXPECT_EQ(automation[0].opt, 0.5f);
    EXPECT_EQ(effect->getParameter(effect, 3), 0.5f);
    closeEffect(effect);
}

TEST(MidiHost, InstancesShareTheMapOfTheLatestStart) {
    RecordingHost host;
    LoadedPlugin plugin;
    const std::string ini = plugin.directory() + "/Quorvane.ini";
    writeText(ini, "MIDICCCUTOFF 74 0 1\n");
    AEffect* first = plugin.instantiate();
    ASSERT_NE(first, nullptr);
    writeText(ini, "MIDICCCUTOFF 20 0 1\nMIDICCRESONANCE 129 0 1\n");
    AEffect* second = plugin.instantiate();
    ASSERT_NE(second, nullptr);

    // The map is shared: CC 20 now drives Cutoff in the first instance too. Its pressure
    // flag was fixed when it was made, before Reso was put on pressure.
    host.clear();
    sendMidi(first, {{0xB0, 74, 127}, {0xB0, 20, 127}, {0xD0, 127, 0}});
    auto automation = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automation.size(), 1u);
    EXPECT_EQ(automation[0].index, 3);

    host.clear();
    sendMidi(second, {{0xD0, 127, 0}});
    automation = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automation.size(), 1u);
    EXPECT_EQ(automation[0].index, 4);
    closeEffect(first);
    closeEffect(second);
}

}  // namespace
