// Rendering through VST 2 plug-ins we did not write (zam-plugins from Debian).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "tests/render/RenderTestSupport.h"

namespace {

bool allFinite(const Audio& audio) {
    for (float sample : audio.samples)
        if (!std::isfinite(sample)) return false;
    return true;
}

// How far the output is from the best-fitting scaled copy of the input, relative to
// the output: 0 for a plain gain change, large when the plug-in reshapes the sound.
double reshaping(const Audio& input, const Audio& output, int channel) {
    double cross = 0.0, inputEnergy = 0.0, outputEnergy = 0.0;
    for (std::int64_t i = 0; i < input.frames(); ++i) {
        const double in = input.at(i, channel % input.channels);
        cross += in * output.at(i, channel);
        inputEnergy += in * in;
        outputEnergy += double(output.at(i, channel)) * output.at(i, channel);
    }
    const double scale = cross / inputEnergy;
    return std::sqrt(std::max(0.0, outputEnergy - scale * cross) / outputEnergy);
}

}  // namespace

TEST(ThirdPartyPlugins, ZamTubeDistortsAMonoSine) {
    ScratchDirectory scratch;
    const Audio input = makeSine(44100, 1, 0.5, 220.0, 0.5);
    writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = runTool({"ZamTube-vst", scratch.file("in.wav"), scratch.file("out.wav"), "--param",
                                 "Tube Drive=1", "--tail", "0.1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("ZamTube"), std::string::npos);

    const Audio output = readAudio(scratch.file("out.wav"));
    ASSERT_EQ(output.channels, 1);
    EXPECT_EQ(output.frames(), input.frames() + 4410);
    EXPECT_TRUE(allFinite(output));
    EXPECT_GT(rms(output, 0), 0.01);
    EXPECT_GT(reshaping(input, output, 0), 0.05);
}

TEST(ThirdPartyPlugins, ZamEq2MasterGainByNameRaisesTheLevel) {
    ScratchDirectory scratch;
    const Audio input = makeNoise(44100, 1, 0.5, 0.1);
    writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun list = runTool({"--list", "ZamEQ2-vst", "--param", "master gain=1"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("Master Gain"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("12.000000 dB"), std::string::npos) << list.out;

    const ToolRun flat = runTool({"ZamEQ2-vst", scratch.file("in.wav"), scratch.file("flat.wav"), "--block", "333"});
    const ToolRun loud = runTool({"ZamEQ2-vst", scratch.file("in.wav"), scratch.file("loud.wav"), "--param",
                                  "Master Gain=1"});
    ASSERT_EQ(flat.exitCode, 0) << flat.err;
    ASSERT_EQ(loud.exitCode, 0) << loud.err;
    const Audio flatOut = readAudio(scratch.file("flat.wav"));
    const Audio loudOut = readAudio(scratch.file("loud.wav"));
    EXPECT_TRUE(allFinite(loudOut));
    EXPECT_NEAR(rms(flatOut, 0), rms(input, 0), rms(input, 0) * 0.1);  // flat by default
    EXPECT_NEAR(rms(loudOut, 0) / rms(input, 0), std::pow(10.0, 12.0 / 20.0), 0.4);
}

// ZamCompX2 has a third, side-chain input: a stereo file leaves it silent.
TEST(ThirdPartyPlugins, ZamCompX2CompressesAStereoFile) {
    ScratchDirectory scratch;
    const Audio input = makeNoise(44100, 2, 0.5, 0.25);
    writeAudio(scratch.file("in.flac"), input, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    const ToolRun run = runTool({"ZamCompX2-vst", scratch.file("in.flac"), scratch.file("out.flac"), "--param",
                                 "Threshold=0", "--param", "Ratio=1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio output = readAudio(scratch.file("out.flac"));
    ASSERT_EQ(output.channels, 2);
    EXPECT_TRUE(allFinite(output));
    for (int c = 0; c < 2; ++c) {
        EXPECT_GT(rms(output, c), 0.001);
        EXPECT_LT(rms(output, c), rms(input, c) * 0.5);
    }
}
