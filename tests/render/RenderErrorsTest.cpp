// Every way a render can fail: the exit code, a message, and no output left behind.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "host/ExitCode.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/render/fakes/FakeProbe.h"

namespace {

class RenderErrors : public ::testing::Test {
protected:
    RenderErrors() {
        writeAudio(input, makeNoise(8000, 2, 0.1, 0.5), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    }

    // Runs the tool and checks the failure left nothing but the files that were there.
    void expectFailure(std::vector<std::string> arguments, ExitCode code, const std::string& messagePart) {
        const std::vector<std::string> before = scratch.entries();
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, static_cast<int>(code)) << run.err;
        EXPECT_NE(run.err.find(messagePart), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(scratch.entries(), before) << "a failed run left files behind";
    }

    void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    const std::string output = scratch.file("out.wav");
};

}  // namespace

// Each bad command line: its exit code, a part of its message, and nothing written.
TEST_F(RenderErrors, EveryFailureHasItsCodeAndLeavesNoOutput) {
    writeText(scratch.file("text.wav"), "this is not audio, only a file named like it\n");
    writeText(scratch.file("text.so"), "not a library");
    // Sun audio is readable by the library but is not one of the formats we take.
    writeAudio(scratch.file("sun.au"), makeNoise(8000, 1, 0.1, 0.5), SF_FORMAT_AU | SF_FORMAT_PCM_16);
    std::filesystem::create_directory(scratch.file("taken.wav"));
    std::filesystem::create_directory(scratch.file("empty.vst"));
    const std::string probe = FAKE_PROBE_PATH;
    struct Case {
        std::vector<std::string> arguments;
        ExitCode code;
        const char* message;
    };
    const Case cases[] = {
        {{probe, scratch.file("nothing.wav"), output}, ExitCode::InputUnreadable, "nothing.wav"},
        {{probe, scratch.path, output}, ExitCode::InputUnreadable, "cannot read input"},
        {{probe, scratch.file("text.wav"), output}, ExitCode::UnsupportedFormat, "text.wav"},
        {{probe, scratch.file("sun.au"), output}, ExitCode::UnsupportedFormat, "WAV, AIFF and FLAC"},
        {{probe, input, scratch.file("out.mp3")}, ExitCode::UnsupportedFormat, ".flac"},
        {{probe, input, scratch.file("out.flac"), "--bits", "float"}, ExitCode::UnsupportedFormat, "cannot hold float"},
        {{probe, input, scratch.file("no/such/dir/out.wav")}, ExitCode::OutputNotWritable, "cannot write"},
        {{probe, input, scratch.file("taken.wav")}, ExitCode::OutputNotWritable, "directory"},
        {{scratch.file("missing.so"), input, output}, ExitCode::PluginNotFound, "missing.so"},
        {{"NoSuchPluginAnywhere", input, output}, ExitCode::PluginNotFound, "NoSuchPluginAnywhere"},
        {{scratch.file("text.so"), input, output}, ExitCode::PluginNotLoadable, "cannot load"},
        {{FAKE_NO_ENTRY_PATH, input, output}, ExitCode::NoEntryPoint, "neither VSTPluginMain nor main"},
        {{FAKE_WRONG_MAGIC_PATH, input, output}, ExitCode::WrongMagic, "wrong magic"},
        {{FAKE_NULL_PATH, input, output}, ExitCode::NoInstance, "returned no instance"},
        {{probe, input, output, "--program", "Loud"}, ExitCode::UnknownProgram, "Loud"},
        {{probe, input, output, "--program", "3"}, ExitCode::UnknownProgram, "0..2"},
        {{probe, input, output, "--param", "Volume=0.5"}, ExitCode::UnknownParameter, "Volume"},
        {{probe, input, output, "--param", "2=0.5"}, ExitCode::UnknownParameter, "2"},
        {{"--list", probe, "--param", "Volume=0.5"}, ExitCode::UnknownParameter, "Volume"},
        {{"--snapshot", scratch.file("panel.png"), probe}, ExitCode::NoEditorSnapshot, "without a display"},
        {{"--edit", probe}, ExitCode::NoEditorWindow, "has no editor"},
        {{"--edit", "--list", probe}, ExitCode::Usage, "exclude each other"},
        {{"--snapshot", scratch.file("panel.png"), "--scale", "3", probe}, ExitCode::Usage, "scale must be 1 to 2"},
        {{probe, input, output, "--scale", "2"}, ExitCode::Usage, "--scale goes with --snapshot or --edit"},
        {{"--list", scratch.file("empty.vst")}, ExitCode::PluginNotFound, "is a folder holding no .so files"},
        {{"--validate", FAKE_NULL_PATH}, ExitCode::NoInstance, "returned no instance"},
        {{"--validate", scratch.file("text.so")}, ExitCode::PluginNotLoadable, "cannot load"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments) line += argument + " ";
        SCOPED_TRACE(line);
        expectFailure(c.arguments, c.code, c.message);
    }
}

TEST_F(RenderErrors, ValuesOutsideZeroToOneAreRefusedUnlessAllowed) {
    expectFailure({FAKE_PROBE_PATH, input, output, "--param", "Gain=1.5"}, ExitCode::ValueOutOfRange,
                  "--allow-out-of-range");
    const ToolRun run = runTool({FAKE_PROBE_PATH, input, output, "--param", "Gain=1.5", "--allow-out-of-range"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NEAR(rms(readAudio(output), 0), rms(readAudio(input), 0) * 3.0, 1e-5);
}

TEST_F(RenderErrors, MoreChannelsThanInputsNeedPermissionToDrop) {
    const Audio threeChannels = makeNoise(8000, 3, 0.1, 0.5);
    writeAudio(scratch.file("three.wav"), threeChannels, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    expectFailure({FAKE_PROBE_PATH, scratch.file("three.wav"), output}, ExitCode::ChannelMismatch, "--drop-channels");

    ASSERT_EQ(runTool({FAKE_PROBE_PATH, scratch.file("three.wav"), output, "--drop-channels"}).exitCode, 0);
    const Audio rendered = readAudio(output);
    ASSERT_EQ(rendered.channels, 2);
    for (std::int64_t i = 0; i < rendered.frames(); ++i)
        for (int c = 0; c < 2; ++c) ASSERT_FLOAT_EQ(rendered.at(i, c), threeChannels.at(i, c));
}

TEST_F(RenderErrors, NonFiniteOutputIsReportedAndWrittenOnlyWhenAllowed) {
    expectFailure({FAKE_PROBE_PATH, input, output, "--param", "Poison=1"}, ExitCode::NonFiniteOutput,
                  "4 NaN or infinite output sample(s), the first at 0.0125");

    const ToolRun run = runTool({FAKE_PROBE_PATH, input, output, "--param", "Poison=1", "--allow-nonfinite"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("warning: the plug-in wrote 4 NaN"), std::string::npos) << run.err;
    const Audio rendered = readAudio(output);
    EXPECT_TRUE(std::isnan(rendered.at(kFakePoisonFrame, 0)));
    EXPECT_TRUE(std::isinf(rendered.at(kFakePoisonFrame + 1, 1)));
}

TEST_F(RenderErrors, AFailedRunLeavesAnExistingOutputUntouched) {
    ASSERT_EQ(runTool({FAKE_PROBE_PATH, input, output, "--program", "Quiet"}).exitCode, 0);
    const Audio before = readAudio(output);
    expectFailure({FAKE_PROBE_PATH, input, output, "--param", "Poison=1"}, ExitCode::NonFiniteOutput, "NaN");
    EXPECT_EQ(readAudio(output).samples, before.samples);
}

// A folder stands for the one library in it, or in a bundle's Contents/<platform>/.
TEST_F(RenderErrors, AFolderHoldingOneLibraryIsThatPlugin) {
    const std::string bundle = scratch.file("Probe.vst");
    std::filesystem::create_directories(bundle + "/Contents/x86_64-linux");
    std::filesystem::copy_file(FAKE_PROBE_PATH, bundle + "/Contents/x86_64-linux/Probe.so");
    const char* set = std::getenv("VST_PATH");
    const std::string earlier = set ? set : "";
    const std::string searched = scratch.path + (set ? ":" + earlier : "");
    setenv("VST_PATH", searched.c_str(), 1);
    for (const std::string& name : {bundle, std::string("Probe.vst")}) {
        const ToolRun run = runTool({"--list", name});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.rfind("Fake Probe\n", 0), 0u) << run.out;
    }
    if (set) setenv("VST_PATH", earlier.c_str(), 1);
    else unsetenv("VST_PATH");
}

// A file cut short or damaged holds fewer frames than its header promises: the render
// warns with both figures and says so in its exit code, unless that is allowed.
TEST_F(RenderErrors, AnInputShorterThanItsHeaderSaysIsTold) {
    struct Case {
        const char* name;
        int format;
        bool garbage;  // else cut in half
    };
    const Case cases[] = {
        {"cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, false},
        {"cut.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, false},
        {"cut.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, false},
        {"damaged.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch.file(c.name);
        writeAudio(path, makeNoise(8000, 1, 1.0, 0.5), c.format);
        const std::uintmax_t size = std::filesystem::file_size(path);
        if (c.garbage) {
            std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(static_cast<std::streamoff>(size / 2));
            for (std::uintmax_t i = 0; i < size / 8; ++i) file.put(static_cast<char>(i * 37 + 11));
        } else {
            std::filesystem::resize_file(path, size / 2);
        }
        const ToolRun strict = runTool({FAKE_PROBE_PATH, path, output});
        EXPECT_EQ(strict.exitCode, static_cast<int>(ExitCode::ShortInput)) << strict.err;
        EXPECT_NE(strict.err.find(" of the 8000 frames its header promises"), std::string::npos) << strict.err;
        EXPECT_LT(readAudio(output).frames(), 8000);
        EXPECT_EQ(runTool({FAKE_PROBE_PATH, path, output, "-q", "--allow-short-input"}).exitCode, 0);
    }
}

TEST(RenderProgram, ExitStatusReachesTheShell) {
    EXPECT_EQ(runToolProgram("--help"), 0);
    EXPECT_EQ(runToolProgram("--no-such-option"), static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(runToolProgram("--list /nonexistent/plugin.so"), static_cast<int>(ExitCode::PluginNotFound));
    EXPECT_EQ(runToolProgram(std::string(FAKE_NULL_PATH) + " in.wav out.wav --list"), static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(runToolProgram(std::string("--list ") + FAKE_NULL_PATH), static_cast<int>(ExitCode::NoInstance));
}
