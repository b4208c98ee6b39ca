// Reading, writing and clamping "Quorvane.ini".
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/Configuration.h"
#include "plugin/ConfigurationMessages.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/TestFiles.h"

namespace {

std::vector<std::string> messages;
void captureMessage(const char* caption, const char* text) {
    EXPECT_STREQ(caption, "Quorvane.ini");
    messages.push_back(text);
}

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        messages.clear();
        previousSink = setConfigurationMessageSink(captureMessage);
        map.setDefaults();
        dir = makeScratchDirectory("quorvane-config");
        path = dir + "/Quorvane.ini";
    }
    void TearDown() override {
        setConfigurationMessageSink(previousSink);
        std::filesystem::remove_all(dir);
    }
    void apply(const std::string& text) {
        applyConfigurationText(text.data(), text.size(), settings, map);
        clampSettings(settings, map);
    }
    void writeFile(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string readFile() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const ControllerAssignment& entry(int index) { return map.entries[index]; }

    ConfigurationMessageSink previousSink = nullptr;
    StartupSettings settings;
    ControllerMap map;
    std::string dir, path;
};

const char* const kDefaultText =
    "// Quorvane Configuration File, remove or rename this file to generate defaults.\n"
    "// Reload Quorvane after saving changes to this file.\n"
    "// Commented lines start with //\n"
    "// Set NUMCHANNELS range 1 - 6 (use 2 for stereo, 6 for 5.1.\n"
    "// Note that your host or the track Quorvane is on may not be able to support this number.)\n"
    "NUMCHANNELS 2\n"
    "\n"
    "// MIDI CCs:  MIDICCID ccnumber min_control_val max_control_val\n"
    "// ccnumber Midi Control Change # in range 0-127. Use extended CC#s 128=Pitch Bend, 129=channel aftertouch and/or pressure.\n"
    "// 130=Joystick X, 131=Joystick Y, 132=Joystick Z, 133=Joystick R.\n"
    "// min_control_val and max_control_val range 0.0-1.0  High value first to invert.\n"
    "// Note that playback of automation events to any control will be inhibited while the joystick is still mapped to that control.\n"
    "\n"
    "MIDICCINTRIM 75 0.000000 1.000000\n"
    "MIDICCMODE 76 0.000000 1.000000\n"
    "MIDICCSTAGES 77 0.000000 1.000000\n"
    "MIDICCCUTOFF 11 0.000000 0.500000\n"
    "MIDICCRESONANCE 78 0.000000 1.000000\n"
    "MIDICCENVAMOUNT 71 0.000000 1.000000\n"
    "MIDICCENVATTACK 73 0.000000 1.000000\n"
    "MIDICCENVRELEASE 72 0.000000 1.000000\n"
    "MIDICCOUTSAT 79 0.000000 1.000000\n"
    "\n"
    "// Remove comment from the next line to use less power at the expense of sound quality. NOT RECOMMENDED!\n"
    "//HALFPOWER\n"
    "\n"
    "\n";

TEST_F(ConfigurationTest, ChannelCountIsReadCaseBlindAndClamped) {
    struct Case {
        const char* text;
        int channels;
    };
    for (Case c : {Case{"numchannels 4\n", 4}, Case{"NUMCHANNELS 9\n", 6},
                   Case{"NUMCHANNELS 0\n", 1}, Case{"NUMCHANNELS -3\n", 1},
                   Case{"  \t NUMCHANNELS 5\n", 5}, Case{"NUMCHANNELS\t3\n", 3},
                   Case{"// NUMCHANNELS 4\n", 2}, Case{"NUMCHANNELS 3\nNUMCHANNELS 5\n", 5},
                   Case{"NUMCHANNELS two\n", 2}, Case{"NUMCHANNELS 99999999999\n", 6},
                   Case{"NUMCHANNELS -99999999999999999999\n", 1}, Case{"NUMCHANNELS 4abc\n", 4},
                   Case{"NUMCHANNELS4\n", 2}, Case{"", 2}}) {
        settings = StartupSettings();
        apply(c.text);
        EXPECT_EQ(settings.channelCount, c.channels) << c.text;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigurationTest, EmptyValuesAreReportedOnceAndKeepTheSetting) {
    apply("NUMCHANNELS\nNUMCHANNELS   \t\nMIDICCCUTOFF \nMIDICCMODE 20\n");
    EXPECT_EQ(settings.channelCount, 2);
    EXPECT_EQ(messages, std::vector<std::string>({"Bad NUMCHANNELS", "Bad MIDICCCUTOFF"}));
    EXPECT_EQ(entry(3).cc(), 11);

    messages.clear();
    apply("MIDICCINTRIM\nMIDICCMODE\nMIDICCSTAGES\nMIDICCCUTOFF\nMIDICCRESONANCE\n"
          "MIDICCENVAMOUNT\nMIDICCENVATTACK\nMIDICCENVRELEASE\nMIDICCOUTSAT\n");
    EXPECT_EQ(messages, std::vector<std::string>(
                            {"Bad MIDICCINTRIM", "Bad MIDICCMODE", "Bad MIDICCSTAGES",
                             "Bad MIDICCCUTOFF", "Bad MIDICCRESONANCE", "Bad MIDICCENVAMOUNT",
                             "Bad MIDICCENVATTACK", "Bad MIDICCENVRELEASE", "Bad MIDICCOUTSAT"}));
}

// Scale= and KnobMode=: "Key=value", "Key = value" or "KEY value", case blind (the older
// keys keep their blank-separated form only); a scale
// held between 1 and 2; a bad value is reported and leaves the setting at its default.
TEST_F(ConfigurationTest, PanelPreferencesTakeEitherFormAndReportBadValues) {
    const struct {
        const char* text;
        float scale;
        int knobMode;
        const char* message;  // or none
    } cases[] = {
        {"Scale=2\n", 2.0f, kKnobModeHost, nullptr},
        {"scale = 1.5\n", 1.5f, kKnobModeHost, nullptr},
        {"SCALE 1.25\r\n", 1.25f, kKnobModeHost, nullptr},
        {"Scale=3\n", 2.0f, kKnobModeHost, nullptr},
        {"Scale=0.5\n", 1.0f, kKnobModeHost, nullptr},
        {"Scale=2\nScale=auto\n", 0.0f, kKnobModeHost, nullptr},
        {"Scale=big\n", 0.0f, kKnobModeHost, "Bad Scale (1 to 2, or auto)"},
        {"Scale=\n", 0.0f, kKnobModeHost, "Bad Scale (1 to 2, or auto)"},
        {"//Scale=2\n", 0.0f, kKnobModeHost, nullptr},
        {"KnobMode=linear\n", 0.0f, kKnobModeLinear, nullptr},
        {"knobmode = Relative\n", 0.0f, kKnobModeRelative, nullptr},
        {"KNOBMODE circular\n", 0.0f, kKnobModeCircular, nullptr},
        {"KnobMode=linear\nKnobMode=host\n", 0.0f, kKnobModeHost, nullptr},
        {"KnobMode=spin\n", 0.0f, kKnobModeHost, "Bad KnobMode (circular, relative, linear or host)"},
        {"NUMCHANNELS=4\nScale=2\n", 2.0f, kKnobModeHost, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        settings = StartupSettings();
        messages.clear();
        apply(c.text);
        EXPECT_EQ(settings.panelScale, c.scale);
        EXPECT_EQ(settings.knobMode, c.knobMode);
        EXPECT_EQ(messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
    EXPECT_EQ(settings.channelCount, 2) << "NUMCHANNELS=4 is no NUMCHANNELS line";
    EXPECT_EQ(defaultConfigurationText(StartupSettings(), map), kDefaultText) << "the default file is unchanged";
}

TEST_F(ConfigurationTest, HalfPowerIsSwitchedOnlyByAnUncommentedKeyword) {
    apply("//HALFPOWER\n");
    EXPECT_FALSE(settings.halfPower);
    apply("halfpower 0\n");
    EXPECT_TRUE(settings.halfPower);
    settings = StartupSettings();
    apply("HALFPOWER");
    EXPECT_TRUE(settings.halfPower);
}

// Each line over the default map: fields are assigned from the left up to the first that
// is no number; controller numbers and values are clamped, and no NaN or infinity stays.
TEST_F(ConfigurationTest, MidiLinesAssignFieldsFromTheLeftAndAreClamped) {
    struct Case {
        const char* text;
        int index, cc;
        float minimum, maximum;
    };
    for (Case c : {Case{"MIDICCMODE 20\n", 1, 20, 0.0f, 1.0f},
                   Case{"MIDICCRESONANCE 78 1 0\n", 4, 78, 1.0f, 0.0f},
                   Case{"MIDICCENVAMOUNT 71 0.2 1.7\n", 5, 71, 0.2f, 1.0f},
                   Case{"MIDICCATTACK 5 0 0\nMIDICCENVATTACK 9 0.25 oops\n", 6, 9, 0.25f, 1.0f},
                   Case{"midiccoutsat +12 +0.5 -0.5\n", 8, 12, 0.5f, 0.0f},
                   Case{"MIDICCCUTOFF 200\n", 3, 127, 0.0f, 0.5f},
                   Case{"MIDICCCUTOFF 133\n", 3, 133, 0.0f, 0.5f},
                   Case{"MIDICCCUTOFF 134\n", 3, 127, 0.0f, 0.5f},
                   Case{"MIDICCCUTOFF -1\n", 3, 0, 0.0f, 0.5f},
                   Case{"MIDICCCUTOFF 99999999999999\n", 3, 127, 0.0f, 0.5f},
                   Case{"MIDICCCUTOFF 11 1e400 nan\n", 3, 11, 1.0f, 0.5f},  // a NaN is no number
                   Case{"MIDICCCUTOFF 11 -inf infinity\n", 3, 11, 0.0f, 1.0f},
                   Case{"MIDICCCUTOFF 11 1e-400 -1e999\n", 3, 11, 0.0f, 0.0f},
                   Case{"MIDICCMODE 3 NaN(123) 0.25\n", 1, 3, 0.0f, 1.0f}}) {
        map.setDefaults();
        apply(c.text);
        EXPECT_EQ(entry(c.index).cc(), c.cc) << c.text;
        EXPECT_EQ(entry(c.index).minimum(), c.minimum) << c.text;
        EXPECT_EQ(entry(c.index).maximum(), c.maximum) << c.text;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigurationTest, LineEndsNulBytesAndLongLines) {
    apply("NUMCHANNELS 3\r\nMIDICCMODE 21\r\n");
    EXPECT_EQ(settings.channelCount, 3);
    EXPECT_EQ(entry(1).cc(), 21);

    // Text after a NUL byte in a line is not seen.
    apply(std::string("NUMCHANNELS 4\0 5\n", 17));
    EXPECT_EQ(settings.channelCount, 4);
    apply(std::string("\0NUMCHANNELS 1\n", 15));
    EXPECT_EQ(settings.channelCount, 4);

    // A line longer than 255 characters arrives in pieces; the piece that starts at
    // character 256 is a line of its own.
    apply(std::string(255, ' ') + "NUMCHANNELS 5\n");
    EXPECT_EQ(settings.channelCount, 5);
    apply("//" + std::string(253, 'x') + "NUMCHANNELS 2\n");
    EXPECT_EQ(settings.channelCount, 2);
    apply("NUMCHANNELS 6" + std::string(100000, ' ') + "\n");
    EXPECT_EQ(settings.channelCount, 6);
}

TEST_F(ConfigurationTest, FirstStartWritesTheDefaultFileAndTheSecondReadsItBack) {
    map.entries[3].set(50, 0.25f, 0.75f);
    ASSERT_FALSE(readConfiguration(path, settings, map));
    writeDefaultConfiguration(path, settings, map);
    EXPECT_EQ(readFile(), withPlatformLineEnds(kDefaultText));
    EXPECT_EQ(entry(3).cc(), 11);

    ControllerMap second;
    for (ControllerAssignment& e : second.entries) e.set(1, 1.0f, 1.0f);
    StartupSettings secondSettings;
    secondSettings.channelCount = 5;
    ASSERT_TRUE(readConfiguration(path, secondSettings, second));
    clampSettings(secondSettings, second);
    EXPECT_EQ(secondSettings.channelCount, 2);
    EXPECT_FALSE(secondSettings.halfPower);
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(second.entries[i].cc(), map.entries[i].cc());
        EXPECT_EQ(second.entries[i].minimum(), map.entries[i].minimum());
        EXPECT_EQ(second.entries[i].maximum(), map.entries[i].maximum());
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigurationTest, DefaultFileIsLocaleIndependent) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const bool comma = useCommaDecimalLocale() && std::localeconv()->decimal_point[0] == ',';
    const std::string text = defaultConfigurationText(settings, map);
    apply("MIDICCCUTOFF 11 0.25 0.75\n");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be made";
    EXPECT_EQ(text, kDefaultText);
    EXPECT_EQ(entry(3).minimum(), 0.25f);
}

TEST_F(ConfigurationTest, EmptyFileChangesNothingAndShowsNothing) {
    writeFile("");
    map.entries[0].set(5, 0.5f, 0.5f);
    ASSERT_TRUE(readConfiguration(path, settings, map));
    EXPECT_EQ(readFile(), "");
    EXPECT_EQ(settings.channelCount, 2);
    EXPECT_EQ(entry(0).cc(), 5);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigurationTest, AnExistingFileIsNeverOverwritten) {
    // A directory where the file should be cannot be read as a file, nor replaced.
    std::filesystem::create_directory(path);
    std::ofstream(path + "/keep") << "user data";
    StartupSettings fresh;
    if (!readConfiguration(path, fresh, map)) writeDefaultConfiguration(path, fresh, map);
    clampSettings(fresh, map);
    EXPECT_EQ(fresh.channelCount, 2);
    EXPECT_TRUE(std::filesystem::is_directory(path));

    // A file the reader is refused: it must not grow with appended defaults.
    std::filesystem::remove_all(path);
    writeFile("NUMCHANNELS 4\n");
    writeDefaultConfiguration(path, fresh, map);
    EXPECT_EQ(readFile(), "NUMCHANNELS 4\n");
}

TEST_F(ConfigurationTest, UnwritablePlaceMeansDefaultsAndSilence) {
    const std::string nowhere = dir + "/missing-folder/Quorvane.ini";
    map.entries[2].set(3, 0.1f, 0.2f);
    StartupSettings fresh;
    ASSERT_FALSE(readConfiguration(nowhere, fresh, map));
    writeDefaultConfiguration(nowhere, fresh, map);
    clampSettings(fresh, map);
    EXPECT_EQ(entry(2).cc(), 77);
    EXPECT_EQ(fresh.channelCount, 2);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigurationTest, LargeFileIsReadInReasonableTime) {
    std::string line = "MIDICCCUTOFF 12 0.1 0.9 and some trailing words to make it longer\n";
    std::string text;
    while (text.size() < 50u * 1024 * 1024) text += line;
    text += "NUMCHANNELS\nNUMCHANNELS\n";
    writeFile(text);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(readConfiguration(path, settings, map));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(entry(3).cc(), 12);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_LT(seconds, 20.0);
}

}  // namespace
