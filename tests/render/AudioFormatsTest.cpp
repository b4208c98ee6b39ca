// Files of every supported kind go through the tool at their own rate and come back in
// the same kind, unless asked otherwise.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "tests/render/RenderTestSupport.h"

namespace {

struct FileKind {
    const char* name;
    int format;
    double tolerance;  // one step of the encoding
};

const FileKind kKinds[] = {
    {"wav16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1.0 / 32768},
    {"wav24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1.0 / 8388608},
    {"wav32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1e-7},
    {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1e-7},
    {"aiff16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1.0 / 32768},
    {"aif24.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1.0 / 8388608},
    {"aiffloat.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1e-7},
    {"flac16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0 / 32768},
    {"flac24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1.0 / 8388608},
};

}  // namespace

TEST(AudioFormats, EveryKindRoundTripsThroughAUnityPlugin) {
    ScratchDirectory scratch;
    for (const FileKind& kind : kKinds) {
        const Audio source = makeSine(48000, 2, 0.05, 1000.0, 0.5);
        writeAudio(scratch.file(kind.name), source, kind.format);
        const Audio written = readAudio(scratch.file(kind.name));
        const std::string output = scratch.file(std::string("out-") + kind.name);

        const ToolRun run = runTool({FAKE_PROBE_PATH, scratch.file(kind.name), output, "-q"});
        ASSERT_EQ(run.exitCode, 0) << kind.name << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
        const Audio rendered = readAudio(output);
        EXPECT_EQ(rendered.format, kind.format) << kind.name;
        EXPECT_EQ(rendered.sampleRate, 48000);
        ASSERT_EQ(rendered.samples.size(), written.samples.size()) << kind.name;
        for (std::size_t i = 0; i < written.samples.size(); ++i)
            ASSERT_NEAR(rendered.samples[i], written.samples[i], kind.tolerance) << kind.name << " " << i;
    }
}

TEST(AudioFormats, BitsOptionAndFallbackChooseTheOutputEncoding) {
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeSine(44100, 2, 0.02, 100.0, 0.5), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(runTool({FAKE_PROBE_PATH, scratch.file("in.wav"), scratch.file("a.wav"), "--bits", "16"}).exitCode, 0);
    EXPECT_EQ(readAudio(scratch.file("a.wav")).format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // FLAC holds no float samples: without --bits the tool falls back to 24-bit.
    ASSERT_EQ(runTool({FAKE_PROBE_PATH, scratch.file("in.wav"), scratch.file("b.flac")}).exitCode, 0);
    EXPECT_EQ(readAudio(scratch.file("b.flac")).format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    ASSERT_EQ(runTool({FAKE_PROBE_PATH, scratch.file("in.wav"), scratch.file("c.aiff"), "--bits=32"}).exitCode, 0);
    EXPECT_EQ(readAudio(scratch.file("c.aiff")).format, SF_FORMAT_AIFF | SF_FORMAT_PCM_32);
}

TEST(AudioFormats, LoudOutputClipsInIntegerFilesAndSurvivesInFloatFiles) {
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeSine(8000, 2, 0.05, 200.0, 0.9), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun clipped =
        runTool({FAKE_PROBE_PATH, scratch.file("in.wav"), scratch.file("int.wav"), "--param", "Gain=1", "--bits", "16"});
    ASSERT_EQ(clipped.exitCode, 0);
    EXPECT_NE(clipped.err.find("clipped"), std::string::npos);
    const Audio integer = readAudio(scratch.file("int.wav"));
    const Audio input = readAudio(scratch.file("in.wav"));
    // A sine at 1.8 clipped stays on the side of its sign; wrapping would flip it.
    for (std::int64_t i = 0; i < integer.frames(); ++i) {
        if (std::fabs(input.at(i, 0)) > 0.6f) {
            ASSERT_GT(integer.at(i, 0) * input.at(i, 0), 0.5f) << i;
        }
    }
    ASSERT_EQ(runTool({FAKE_PROBE_PATH, scratch.file("in.wav"), scratch.file("float.wav"), "--param", "Gain=1"}).exitCode, 0);
    const Audio floats = readAudio(scratch.file("float.wav"));
    double peak = 0.0;
    for (float sample : floats.samples) peak = std::max(peak, std::fabs(double(sample)));
    EXPECT_NEAR(peak, 1.8, 0.01);
}

TEST(AudioFormats, AMonoFileFeedsBothInputsAndTheSummaryCountsChannels) {
    ScratchDirectory scratch;
    const Audio mono = makeNoise(16000, 1, 0.1, 0.3);
    writeAudio(scratch.file("mono.wav"), mono, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = runTool({FAKE_PROBE_PATH, scratch.file("mono.wav"), scratch.file("out.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio stereo = readAudio(scratch.file("out.wav"));
    ASSERT_EQ(stereo.channels, 2);
    for (std::int64_t i = 0; i < mono.frames(); ++i) {
        ASSERT_EQ(stereo.at(i, 0), mono.at(i, 0));
        ASSERT_EQ(stereo.at(i, 1), mono.at(i, 0));
    }
    EXPECT_NE(run.out.find("16000 Hz, 1 channel,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("16000 Hz, 2 channels"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("x realtime"), std::string::npos);

    // An empty file has no realtime factor to speak of.
    writeAudio(scratch.file("empty.wav"), Audio(), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun empty = runTool({FAKE_PROBE_PATH, scratch.file("empty.wav"), scratch.file("out.wav")});
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out.find("realtime"), std::string::npos) << empty.out;
}
