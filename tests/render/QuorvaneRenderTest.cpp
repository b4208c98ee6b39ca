// Rendering through our own plug-in, loaded from a private copy as any host would. How
// the tool lists, names and reports plug-ins is tested with the probe plug-in; here only
// that our filter, its parameters and its controller map work through the tool.
#include <gtest/gtest.h>

#include <cstring>
#include <sndfile.h>

#include <png.h>

#include <cmath>
#include <fstream>

#include "tests/render/RenderTestSupport.h"

namespace {

class QuorvaneRender : public ::testing::Test {
protected:
    // Output RMS over input RMS for a sine of the given frequency through the settings.
    double sineGain(double frequency, const std::vector<std::string>& settings) {
        const Audio input = makeSine(44100, 2, 0.5, frequency, 0.5);
        writeAudio(scratch.file("sine.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        std::vector<std::string> arguments = {plugin, scratch.file("sine.wav"), scratch.file("out.wav"), "-q"};
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const Audio output = readAudio(scratch.file("out.wav"));
        if (output.channels != 2 || output.frames() != input.frames()) return -1.0;
        return rms(output, 0) / rms(input, 0);
    }

    ScratchDirectory scratch;
    const std::string plugin = privateQuorvaneCopy(scratch);
};

}  // namespace

TEST_F(QuorvaneRender, ProgramsAndParametersShapeTheSpectrum) {
    struct Case {
        double frequency;
        std::vector<std::string> settings;
        bool passes;  // gain above 0.3, else below 0.1
    };
    const Case cases[] = {
        {50.0, {"--program", "LPF"}, true},
        {5000.0, {"--program", "LPF"}, false},
        {100.0, {"--program", "hpf"}, false},
        {10000.0, {"--program", "hpf"}, true},
        {5000.0, {"--program", "0", "--param", "Cutoff=1"}, true},
        {5000.0, {"--program", "0", "--param", "3=1"}, true},
    };
    for (const Case& c : cases) {
        const double gain = sineGain(c.frequency, c.settings);
        if (c.passes)
            EXPECT_GT(gain, 0.3) << c.frequency << " Hz " << c.settings.back();
        else
            EXPECT_LT(gain, 0.1) << c.frequency << " Hz " << c.settings.back();
    }
}

namespace {

// The automation notices a render's summary reports, 0 when it reports none.
int automationNotices(const ToolRun& run) {
    const std::string::size_type at = run.out.find("automation: ");
    return at == std::string::npos ? 0 : std::stoi(run.out.substr(at + 12));
}

}  // namespace

TEST_F(QuorvaneRender, MidiControllersReachTheMappedParameters) {
    std::ofstream(scratch.file("Quorvane.ini")) << "MIDICCCUTOFF 74 0.0 1.0\nMIDICCENVAMOUNT 128 0.5 0.5\n";
    const Audio input = makeSine(44100, 2, 0.5, 5000.0, 0.5);
    writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    auto render = [&](std::vector<std::string> events) {
        std::vector<std::string> arguments = {plugin, scratch.file("in.wav"), scratch.file("out.wav"), "--program", "LPF"};
        arguments.insert(arguments.end(), events.begin(), events.end());
        return runTool(arguments);
    };
    const ToolRun plain = render({});
    const ToolRun controlled = render({"--cc", "0:74=127", "--bend", "0.1:0", "--cc", "0.2:20=127"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    ASSERT_EQ(controlled.exitCode, 0) << controlled.err;
    // CC 74 and the bend are mapped, CC 20 is not: two more notices to the host.
    EXPECT_EQ(automationNotices(controlled), automationNotices(plain) + 2) << plain.out << controlled.out;
    // CC 74 at 127 opens the low-pass from the first block on.
    EXPECT_GT(rms(readAudio(scratch.file("out.wav")), 0), rms(input, 0) * 0.5);
}

// The editor drawn without a display, with the settings given and at the scale --scale
// sends as a host would: Cutoff at 0 and at 1 changes the picture only in the Cutoff knob
// and the readout below it, where the window would show them.
TEST_F(QuorvaneRender, SnapshotDrawsTheEditorWithTheGivenSettingsAndScale) {
    const struct {
        const char* scale;  // none: no --scale
        double factor;
    } scales[] = {{nullptr, 1.0}, {"2", 2.0}, {"1.5", 1.5}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(scale.factor);
        const unsigned width = unsigned(800 * scale.factor), height = unsigned(212 * scale.factor);
        // Cutoff 0 and 1: only the Cutoff knob (from (306, 76)) and its readout below differ.
        std::vector<png_byte> pictures[2];
        const char* settings[2] = {"Cutoff=0", "Cutoff=1"};
        for (int i = 0; i < 2; ++i) {
            const std::string path = scratch.file("panel.png");
            std::vector<std::string> arguments = {"--snapshot", path, "--param", settings[i], plugin};
            if (scale.scale) arguments.insert(arguments.begin(), {"--scale", scale.scale});
            const ToolRun run = runTool(arguments);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
            image.format = PNG_FORMAT_RGB;
            pictures[i].resize(PNG_IMAGE_SIZE(image));
            ASSERT_TRUE(png_image_finish_read(&image, nullptr, pictures[i].data(), 0, nullptr));
            ASSERT_EQ(image.width, width);
            ASSERT_EQ(image.height, height);
        }
        int insideKnob = 0, elsewhere = 0;
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x) {
                const std::size_t at = (std::size_t(y) * width + std::size_t(x)) * 3;
                if (std::memcmp(&pictures[0][at], &pictures[1][at], 3) == 0) continue;
                (x >= 306 * scale.factor && x < 406 * scale.factor && y >= 76 * scale.factor ? insideKnob : elsewhere)++;
            }
        EXPECT_GT(insideKnob, 100);
        EXPECT_EQ(elsewhere, 0);
    }
}
