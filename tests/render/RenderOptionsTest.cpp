#include <gtest/gtest.h>

#include <utility>

#include "host/ExitCode.h"
#include "host/RenderOptions.h"

namespace {

ExitCode failureOf(const std::vector<std::string>& arguments) {
    try {
        parseCommandLine(arguments);
    } catch (const HostError& error) {
        return error.code;
    }
    return ExitCode::Success;
}

}  // namespace

TEST(RenderOptions, TakesPluginInputAndOutputWithOptionsAnywhere) {
    const RenderOptions options = parseCommandLine(
        {"--block", "64", "p.so", "--tail=1.5", "in.wav", "--program", "Ray Gun", "out.flac", "-q"});
    EXPECT_EQ(options.pluginPath, "p.so");
    EXPECT_EQ(options.inputPath, "in.wav");
    EXPECT_EQ(options.outputPath, "out.flac");
    EXPECT_EQ(options.blockSize, 64);
    EXPECT_DOUBLE_EQ(options.tailSeconds, 1.5);
    EXPECT_EQ(options.program.value(), "Ray Gun");
    EXPECT_TRUE(options.quiet);
}

TEST(RenderOptions, ParametersKeepTheirOrderAndSplitAtTheLastEquals) {
    const RenderOptions options =
        parseCommandLine({"p.so", "i.wav", "o.wav", "--param", "Cutoff=0.25", "--param=3=1", "--param", "a=b=0"});
    ASSERT_EQ(options.parameters.size(), 3u);
    EXPECT_EQ(options.parameters[0].parameter, "Cutoff");
    EXPECT_FLOAT_EQ(options.parameters[0].value, 0.25f);
    EXPECT_EQ(options.parameters[1].parameter, "3");
    EXPECT_FLOAT_EQ(options.parameters[1].value, 1.0f);
    EXPECT_EQ(options.parameters[2].parameter, "a=b");
}

TEST(RenderOptions, ControlChangesAndPitchBendBecomeMidiBytes) {
    const RenderOptions options =
        parseCommandLine({"p", "i", "o", "--cc", "1.5:74=100", "--bend", "0.25:16383", "--bend=0:8192"});
    ASSERT_EQ(options.midi.size(), 3u);
    EXPECT_DOUBLE_EQ(options.midi[0].seconds, 1.5);
    EXPECT_EQ(options.midi[0].bytes[0], 0xB0);
    EXPECT_EQ(options.midi[0].bytes[1], 74);
    EXPECT_EQ(options.midi[0].bytes[2], 100);
    EXPECT_EQ(options.midi[1].bytes[0], 0xE0);
    EXPECT_EQ(options.midi[1].bytes[1], 0x7F);  // low seven bits first
    EXPECT_EQ(options.midi[1].bytes[2], 0x7F);
    EXPECT_EQ(options.midi[2].bytes[1], 0x00);
    EXPECT_EQ(options.midi[2].bytes[2], 0x40);
}

TEST(RenderOptions, BadCommandLinesAreRefusedWithTheirCode) {
    const std::pair<std::vector<std::string>, ExitCode> cases[] = {
        {{"p", "i"}, ExitCode::Usage},  // output missing
        {{"p", "i", "o", "x"}, ExitCode::Usage},  // one too many
        {{"--list"}, ExitCode::Usage},  // no plug-in
        {{"--list", "p", "i"}, ExitCode::Usage},  // list takes only the plug-in
        {{"p", "i", "o", "--frobnicate"}, ExitCode::Usage},
        {{"p", "i", "o", "--quiet=yes"}, ExitCode::Usage},
        {{"p", "i", "o", "--block"}, ExitCode::Usage},
        {{"p", "i", "o", "--block", "0"}, ExitCode::Usage},
        {{"p", "i", "o", "--block", "12.5"}, ExitCode::Usage},
        {{"p", "i", "o", "--tail", "-1"}, ExitCode::Usage},
        {{"p", "i", "o", "--param", "Cutoff"}, ExitCode::Usage},
        {{"p", "i", "o", "--param", "=0.5"}, ExitCode::Usage},
        {{"p", "i", "o", "--param", "Cutoff=high"}, ExitCode::Usage},
        {{"p", "i", "o", "--cc", "74=100"}, ExitCode::Usage},
        {{"p", "i", "o", "--cc", "1:128=0"}, ExitCode::Usage},
        {{"p", "i", "o", "--cc", "1:7=128"}, ExitCode::Usage},
        {{"p", "i", "o", "--cc", "-1:7=1"}, ExitCode::Usage},
        {{"p", "i", "o", "--bend", "1:16384"}, ExitCode::Usage},
        {{"p", "i", "o", "--bits", "8"}, ExitCode::Usage},
        // Values outside 0..1 need permission; not-a-number is never a value.
        {{"p", "i", "o", "--param", "0=1.01"}, ExitCode::ValueOutOfRange},
        {{"p", "i", "o", "--param", "0=-0.5"}, ExitCode::ValueOutOfRange},
        {{"p", "i", "o", "--param", "0=-0.5", "--allow-out-of-range"}, ExitCode::Success},
        {{"p", "i", "o", "--param", "0=0", "--param", "0=1"}, ExitCode::Success},
        {{"p", "i", "o", "--param", "0=nan", "--allow-out-of-range"}, ExitCode::Usage},
        {{"p", "i", "o", "--param", "0=inf", "--allow-out-of-range"}, ExitCode::Usage},
        {{"--validate", "p", "--level", "5", "--seed", "7", "--report", "r.json"}, ExitCode::Success},
        {{"--validate", "p", "i", "o"}, ExitCode::Usage},  // validate takes only the plug-in
        {{"--validate", "p", "--level", "0"}, ExitCode::Usage},
        {{"--validate", "p", "--level", "6"}, ExitCode::Usage},
        {{"--validate", "p", "--seed", "-1"}, ExitCode::Usage},
        {{"--validate", "--list", "p"}, ExitCode::Usage},
    };
    for (const auto& [arguments, code] : cases) {
        std::string joined;
        for (const std::string& argument : arguments) joined += argument + " ";
        EXPECT_EQ(failureOf(arguments), code) << joined;
    }
}

TEST(RenderOptions, HelpNeedsNothingElseAndListsEveryExitCode) {
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    const std::string help = helpText();
    for (int code = 0; code <= static_cast<int>(ExitCode::ShortInput); ++code) {
        char line[16];
        std::snprintf(line, sizeof line, "\n  %2d  ", code);
        EXPECT_NE(help.find(line), std::string::npos) << "exit code " << code;
    }
}
