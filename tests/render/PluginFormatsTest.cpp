// Rendering and listing through VST3 bundles and .clap files: zam-plugins from Debian
// beside their VST 2 builds, and a fake .clap file that holds two plug-ins and checks
// the host's threads.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "tests/render/RenderTestSupport.h"

namespace {

// One zam plug-in in its three builds, rendered with the same settings.
struct ZamPlugin {
    const char* vst2;
    const char* vst3;
    const char* clap;
    int channels;
    std::vector<std::string> settings;
    const char* listed;  // what --list shows with those settings
};

const ZamPlugin kZamPlugins[] = {
    {"ZamEQ2-vst", "/usr/lib/vst3/ZamEQ2.vst3", "/usr/lib/clap/ZamEQ2.clap", 1,
     {"--param", "Master Gain=1", "--param", "Boost/Cut 1=1"}, "Master Gain       1.000000  12.000000"},
    // Stereo with a side-chain input, which the file leaves silent.
    {"ZamCompX2-vst", "/usr/lib/vst3/ZamCompX2.vst3", "/usr/lib/clap/ZamCompX2.clap", 2,
     {"--param", "Threshold=0", "--param", "Ratio=1"}, "Threshold         0.000000  -80.000000"},
};

double largestDifference(const Audio& a, const Audio& b) {
    double largest = 0.0;
    for (std::size_t i = 0; i < a.samples.size() && i < b.samples.size(); ++i)
        largest = std::max(largest, std::fabs(double(a.samples[i]) - b.samples[i]));
    return largest;
}

std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

// The same DSP behind three formats: --param at frame 0 gives the VST 2 build's samples,
// and --list shows the same channels and values.
TEST(PluginFormats, ZamPluginsRenderAndListAsTheirVst2BuildsDo) {
    ScratchDirectory scratch;
    std::string missing;
    for (const ZamPlugin& zam : kZamPlugins) {
        SCOPED_TRACE(zam.vst2);
        const Audio input = makeNoise(44100, zam.channels, 0.5, 0.1);
        writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        const std::vector<std::string> files = {scratch.file("in.wav"), scratch.file("out.wav"), "--block", "300"};
        const ToolRun reference = runTool(joined(joined({zam.vst2}, files), zam.settings));
        if (reference.exitCode == 6) GTEST_SKIP() << "zam-plugins' VST 2 builds are not installed";
        ASSERT_EQ(reference.exitCode, 0) << reference.err;
        const Audio expected = readAudio(scratch.file("out.wav"));
        ASSERT_GT(rms(expected, 0), 0.001);

        for (const char* path : {zam.vst3, zam.clap}) {
            SCOPED_TRACE(path);
            if (!std::filesystem::exists(path)) {
                missing += std::string(missing.empty() ? "" : ", ") + path;
                continue;
            }
            const ToolRun run = runTool(joined(joined({path}, files), zam.settings));
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const Audio rendered = readAudio(scratch.file("out.wav"));
            ASSERT_EQ(rendered.channels, zam.channels);
            ASSERT_EQ(rendered.frames(), input.frames());
            EXPECT_LT(largestDifference(rendered, expected), 1e-6);

            const ToolRun list = runTool(joined({"--list", path}, zam.settings));
            ASSERT_EQ(list.exitCode, 0) << list.err;
            const std::string channels = std::to_string(zam.channels);
            EXPECT_NE(list.out.find("channels:  " + channels + " in, " + channels + " out"), std::string::npos)
                << list.out;
            EXPECT_NE(list.out.find(zam.listed), std::string::npos) << list.out;
        }
    }
    if (!missing.empty()) GTEST_SKIP() << "zam-plugins lacks " << missing;
}

// Which plug-in of a file that holds several renders, and what reaches it: the fake
// answers silence unless init and activate came on one thread and processing on another,
// and scales by its gain, which --param sets at frame 0 and CC 7 from its time on.
TEST(PluginFormats, AClapFileWithSeveralPluginsGivesTheOneThatFits) {
    struct Case {
        int fileChannels;
        std::vector<std::string> options;
        int outputChannels;
        double gainBefore, gainAfter;  // before and after 0.25 s
    };
    const Case cases[] = {
        {1, {}, 1, 1.0, 1.0},
        {2, {}, 2, 1.0, 1.0},
        {1, {"--plugin-id", "quorvane.fake.stereo"}, 2, 1.0, 1.0},
        {2, {"--param", "Gain=0.25"}, 2, 0.5, 0.5},
        {1, {"--param", "gain=1", "--cc", "0.25:7=0"}, 1, 2.0, 0.0},
    };
    ScratchDirectory scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options) + " on " + std::to_string(c.fileChannels) + " channel(s)");
        const Audio input = makeNoise(1000, c.fileChannels, 0.5, 0.25);
        writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        std::vector<std::string> arguments = {FAKE_CLAP_PATH, scratch.file("in.wav"), scratch.file("out.wav"),
                                              "--bits", "float", "--block", "64"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const ToolRun run = runTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Audio output = readAudio(scratch.file("out.wav"));
        ASSERT_EQ(output.channels, c.outputChannels);
        ASSERT_EQ(output.frames(), input.frames());
        for (std::int64_t frame = 0; frame < output.frames(); ++frame)
            for (int channel = 0; channel < output.channels; ++channel)
                ASSERT_FLOAT_EQ(output.at(frame, channel),
                                float(input.at(frame, channel % input.channels) * (frame < 250 ? c.gainBefore : c.gainAfter)))
                    << "frame " << frame << ", channel " << channel;
    }
}

TEST(PluginFormats, ListingAClapFileShowsEveryPluginItHolds) {
    const ToolRun run = runTool({"--list", FAKE_CLAP_PATH, "--plugin-id", "quorvane.fake.stereo", "--param", "Gain=0.75"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* expected : {"Fake Stereo\n", "channels:  2 in, 2 out", "quorvane.fake.mono  Fake Mono",
                                 "quorvane.fake.stereo  Fake Stereo", "Gain              0.750000  1.50 x"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << " in\n" << run.out;
    const ToolRun unknown = runTool({"--list", FAKE_CLAP_PATH, "--plugin-id", "quorvane.fake.surround"});
    EXPECT_EQ(unknown.exitCode, 10);
    EXPECT_NE(unknown.err.find("quorvane.fake.mono"), std::string::npos) << unknown.err;
}

// The format-neutral checks run on every format; the VST 2-only ones step aside. Check 3
// is not judged on zam's VST3 build, which aborts on one-frame blocks.
TEST(PluginFormats, ValidationRunsTheFormatNeutralChecks) {
    struct Case {
        std::string plugin;
        bool judgeAudio;
        const char* otherFormat;
    };
    const Case cases[] = {{FAKE_CLAP_PATH, true, "not applicable to CLAP"},
                          {"/usr/lib/vst3/ZamEQ2.vst3", false, "not applicable to VST3"}};
    std::string missing;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plugin);
        if (!std::filesystem::exists(c.plugin)) {
            missing += c.plugin;
            continue;
        }
        const ToolRun run = runTool({"--validate", c.plugin, "--level", "1"});
        ASSERT_TRUE(run.exitCode == 0 || (run.exitCode == 16 && !c.judgeAudio)) << run.exitCode << run.err << run.out;
        for (int check = 1; check <= 8; ++check) {
            const std::string::size_type start = run.out.find("\n" + std::to_string(check) + " ");
            ASSERT_NE(start, std::string::npos) << run.out;
            const std::string line = run.out.substr(start + 1, run.out.find('\n', start + 1) - start - 1);
            const std::string expected = check >= 6 ? std::string("skipped: ") + c.otherFormat : " passed";
            if (check == 3 && !c.judgeAudio) continue;
            EXPECT_NE(line.find(expected), std::string::npos) << line;
        }
    }
    // --plugin-id reaches every check: an id the file lacks stops the run before any.
    EXPECT_EQ(runTool({"--validate", FAKE_CLAP_PATH, "--plugin-id", "quorvane.fake.surround"}).exitCode, 10);
    if (!missing.empty()) GTEST_SKIP() << "zam-plugins lacks " << missing;
}

#if defined(QV_VST3_BUNDLE) && defined(QV_CLAP_PATH)
// Quorvane in its three formats through the tool: every program gives the VST 2 plug-in's
// samples exactly, VST3 by its program list, CLAP (which has no programs) by the
// program's values; and both pass the checks that apply to them.
TEST(PluginFormats, QuorvaneRendersAlikeInEveryFormat) {
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeNoise(44100, 2, 0.3, 0.5), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::vector<std::string> files = {scratch.file("in.wav"), scratch.file("out.wav"), "--bits", "float"};
    static const float kProgramValues[][9] = {
        {0.5f, 0.0f, 1.0f, 0.2f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f},
        {0.5f, 0.0f, 1.0f, 0.3f, 0.6f, 0.1812f, 0.6979f, 0.9664f, 0.919462f},
        {0.5f, 1.0f, 0.75f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f},
    };
    const int programs[] = {0, 8, 15};  // as the values above
    for (int i = 0; i < 3; ++i) {
        const std::string program = std::to_string(programs[i]);
        SCOPED_TRACE("program " + program);
        ASSERT_EQ(runTool(joined({QV_PLUGIN_PATH, "--program", program}, files)).exitCode, 0);
        const Audio expected = readAudio(scratch.file("out.wav"));
        const ToolRun vst3 = runTool(joined({QV_VST3_BUNDLE, "--program", program}, files));
        ASSERT_EQ(vst3.exitCode, 0) << vst3.err;
        EXPECT_EQ(readAudio(scratch.file("out.wav")).samples, expected.samples) << "VST3";
        std::vector<std::string> values = {QV_CLAP_PATH};
        for (int p = 0; p < 9; ++p)
            values.insert(values.end(), {"--param", std::to_string(p) + "=" + std::to_string(kProgramValues[i][p])});
        const ToolRun clap = runTool(joined(values, files));
        ASSERT_EQ(clap.exitCode, 0) << clap.err;
        EXPECT_EQ(readAudio(scratch.file("out.wav")).samples, expected.samples) << "CLAP";
    }
    for (const char* plugin : {QV_VST3_BUNDLE, QV_CLAP_PATH}) {
        const ToolRun validation = runTool({"--validate", "--brief", plugin});
        EXPECT_EQ(validation.exitCode, 0) << plugin << "\n" << validation.out << validation.err;
    }
}
#endif
