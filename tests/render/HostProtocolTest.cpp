// The host's conversation with a plug-in, watched from inside a probe plug-in.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>

#include "host/PluginInstance.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/render/fakes/FakeLatency.h"
#include "tests/render/fakes/FakeProbe.h"

namespace {

// Keeps a probe library loaded for the test's lifetime and gives a fresh record of it.
class Probe {
public:
    explicit Probe(const char* path) : libraryPath(path), library(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        state = library ? static_cast<FakeProbe*>(dlsym(library, "fakeProbe")) : nullptr;
        if (state) *state = FakeProbe();
    }
    ~Probe() {
        if (library) dlclose(library);
    }
    FakeProbe& seen() { return *state; }
    const std::string libraryPath;

private:
    void* library;
    FakeProbe* state;
};

int indexOf(const FakeProbe& probe, int32 opcode, int from = 0) {
    for (int i = from; i < probe.opcodeCount; ++i)
        if (probe.opcodes[i] == opcode) return i;
    return -1;
}

}  // namespace

TEST(HostProtocol, OpensConfiguresStartsStopsAndClosesInOrder) {
    Probe probe(FAKE_PROBE_PATH);
    ASSERT_NE(&probe.seen(), nullptr);
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeNoise(48000, 2, 0.1, 0.5), SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    const ToolRun run = runTool({probe.libraryPath, scratch.file("in.wav"), scratch.file("out.wav"), "--block", "100"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const FakeProbe& seen = probe.seen();
    const int open = indexOf(seen, effOpen);
    const int rate = indexOf(seen, effSetSampleRate);
    const int block = indexOf(seen, effSetBlockSize);
    const int on = indexOf(seen, effMainsChanged);
    const int start = indexOf(seen, effStartProcess);
    const int stop = indexOf(seen, effStopProcess);
    const int off = indexOf(seen, effMainsChanged, on + 1);
    const int close = indexOf(seen, effClose);
    EXPECT_EQ(open, 0);
    EXPECT_LT(open, rate);
    EXPECT_LT(rate, on);
    EXPECT_LT(block, on);
    EXPECT_LT(on, start);
    EXPECT_LT(start, stop);
    EXPECT_LT(stop, off);
    EXPECT_EQ(close, seen.opcodeCount - 1);
    EXPECT_EQ(seen.instancesAlive, 0);

    EXPECT_FLOAT_EQ(seen.sampleRate, 48000.0f);
    EXPECT_EQ(seen.blockSize, 100);
    EXPECT_EQ(seen.largestBlock, 100);
    EXPECT_EQ(seen.framesProcessed, 4800);
}

TEST(HostProtocol, AnswersTheCallbackAsAWellBehavedOfflineHost) {
    Probe probe(FAKE_PROBE_PATH);
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeNoise(22050, 2, 0.05, 0.5), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(runTool({probe.libraryPath, scratch.file("in.wav"), scratch.file("out.wav"), "--block=256"}).exitCode, 0);

    const FakeProbe& seen = probe.seen();
    EXPECT_EQ(seen.versionAnswer, 2400);
    EXPECT_EQ(seen.sampleRateAnswer, 22050);
    EXPECT_EQ(seen.blockSizeAnswer, 256);
    EXPECT_EQ(seen.processLevelAnswer, 4);  // offline
    EXPECT_EQ(seen.unknownOpcodeAnswer, 0);
}

TEST(HostProtocol, RecordsAutomationTheInstanceSends) {
    Probe probe(FAKE_PROBE_PATH);
    {
        PluginInstance plugin(probe.libraryPath);
        plugin.setProgram(1);
        plugin.setProgram(2);
        ASSERT_EQ(plugin.host().automation.size(), 2u);
        EXPECT_EQ(plugin.host().automation[0].index, kFakeGain);
        EXPECT_FLOAT_EQ(plugin.host().automation[0].value, 0.125f);
        EXPECT_FLOAT_EQ(plugin.host().automation[1].value, 0.0f);
    }
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeNoise(8000, 2, 0.01, 0.5), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = runTool({probe.libraryPath, scratch.file("in.wav"), scratch.file("out.wav"), "--program", "2"});
    EXPECT_NE(run.out.find("automation: 1 notice(s) from the plug-in"), std::string::npos) << run.out;
}

// Run over several blocks of different sizes, a plug-in without processReplacing must
// get cleared outputs each time: its process call adds to them.
class ProcessPath : public ::testing::TestWithParam<const char*> {};

TEST_P(ProcessPath, OutputIsTheInputTimesTheGainInEveryBlock) {
    Probe probe(GetParam());
    ScratchDirectory scratch;
    const Audio input = makeNoise(8000, 2, 0.25, 0.4);
    writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = runTool({probe.libraryPath, scratch.file("in.wav"), scratch.file("out.wav"), "--block", "96",
                                 "--param", "Gain=0.75", "--tail", "0.01"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const Audio output = readAudio(scratch.file("out.wav"));
    ASSERT_EQ(output.channels, 2);
    ASSERT_EQ(output.frames(), input.frames() + 80);
    for (std::int64_t i = 0; i < input.frames(); ++i)
        for (int c = 0; c < 2; ++c) ASSERT_FLOAT_EQ(output.at(i, c), input.at(i, c) * 1.5f) << i;
    for (std::int64_t i = input.frames(); i < output.frames(); ++i) ASSERT_EQ(output.at(i, 0), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(ReplacingAccumulatingAndMainOnly, ProcessPath,
                         ::testing::Values(FAKE_PROBE_PATH, FAKE_ACCUMULATING_PATH, FAKE_MAIN_ONLY_PATH));

TEST(HostProtocol, MidiEventsArriveAtTheirFramesThroughTheBlocks) {
    Probe probe(FAKE_PROBE_PATH);
    ScratchDirectory scratch;
    writeAudio(scratch.file("in.wav"), makeNoise(8000, 2, 0.1, 0.1), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const ToolRun run = runTool({probe.libraryPath, scratch.file("in.wav"), scratch.file("out.wav"), "--block", "64",
                                 "--bend", "0.02:0", "--cc", "0.01:74=100", "--cc", "0.016:1=2", "--cc", "9:1=1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("1 MIDI event(s) lie after the end"), std::string::npos) << run.err;

    const FakeProbe& seen = probe.seen();
    ASSERT_EQ(seen.eventCount, 3);
    EXPECT_EQ(seen.eventFrames[0], 80);  // block 1, offset 16
    EXPECT_EQ(seen.eventFrames[1], 128);  // first frame of block 2
    EXPECT_EQ(seen.eventFrames[2], 160);
    EXPECT_EQ(seen.eventBytes[0][0], 0xB0);
    EXPECT_EQ(seen.eventBytes[0][1], 74);
    EXPECT_EQ(seen.eventBytes[0][2], 100);
    EXPECT_EQ(seen.eventBytes[2][0], 0xE0);
}

TEST(HostProtocol, ProgramsAreFoundByNumberOrNameWithOrWithoutIndexedNames) {
    for (const char* path : {FAKE_PROBE_PATH, FAKE_ACCUMULATING_PATH}) {
        Probe probe(path);
        ScratchDirectory scratch;
        const Audio input = makeSine(8000, 2, 0.05, 440.0, 0.5);
        writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        for (const char* program : {"1", "quiet", "QUIET"}) {
            const ToolRun run = runTool({path, scratch.file("in.wav"), scratch.file("out.wav"), "--program", program});
            ASSERT_EQ(run.exitCode, 0) << path << " " << program << ": " << run.err;
            EXPECT_NE(run.out.find("program 1 \"Quiet\""), std::string::npos) << run.out;
            EXPECT_NEAR(rms(readAudio(scratch.file("out.wav")), 0), rms(input, 0) * 0.25, 1e-6);
        }
    }
}

TEST(HostProtocol, ListShowsParametersWithTextsAndPrograms) {
    Probe probe(FAKE_ACCUMULATING_PATH);
    const ToolRun run = runTool({"--list", probe.libraryPath, "--program", "Quiet", "--param", "Poison=1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Fake Probe"), std::string::npos);
    EXPECT_NE(run.out.find("'Fake'"), std::string::npos);
    EXPECT_NE(run.out.find("0  Gain"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("0.125 x2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1  Poison"), std::string::npos);
    EXPECT_NE(run.out.find("current 1"), std::string::npos);
    for (const char* name : {"0  Unity", "1  Quiet", "2  Silent"}) EXPECT_NE(run.out.find(name), std::string::npos);
    EXPECT_EQ(probe.seen().instancesAlive, 0);
}

// A plug-in that reports its latency once audio flows: compensated, the output lines up
// with the input and has its length; without, it comes that late and loses its end.
TEST(HostProtocol, ReportedLatencyIsCompensatedUnlessAskedNotTo) {
    ScratchDirectory scratch;
    const Audio input = makeNoise(8000, 2, 0.1, 0.5);
    writeAudio(scratch.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::string plugin = std::string(FAKE_PLUGIN_DIR) + "/fake_latency.so";
    struct Case {
        std::vector<std::string> options;
        std::int64_t delay;  // of the output against the input
        const char* summary;
    };
    const Case cases[] = {
        {{"--block", "100"}, 0, "latency: 240 frames (30.000 ms), compensated"},
        {{"--no-latency-compensation"}, kFakeLatency, "not compensated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.front());
        std::vector<std::string> arguments = {plugin, scratch.file("in.wav"), scratch.file("out.wav")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const ToolRun run = runTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
        const Audio output = readAudio(scratch.file("out.wav"));
        ASSERT_EQ(output.frames(), input.frames());
        for (std::int64_t frame = 0; frame < output.frames(); ++frame)
            for (int channel = 0; channel < 2; ++channel)
                ASSERT_EQ(output.at(frame, channel), frame < c.delay ? 0.0f : input.at(frame - c.delay, channel) * 0.5f)
                    << "frame " << frame;
    }
    EXPECT_NE(runTool({"--list", plugin}).out.find("latency:   240 frames"), std::string::npos);
}
