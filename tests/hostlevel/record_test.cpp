// What a host observes when it loads Quorvane.so: the entry points, the record, the
// calls made back to the host and the answer to every opcode.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/HostHarness.h"

namespace {

class HostLevel : public ::testing::Test {
protected:
    RecordingHost host;
    LoadedPlugin plugin;
    AEffect* effect = nullptr;

    void SetUp() override {
        ASSERT_TRUE(plugin.loaded());
        effect = plugin.instantiate();
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect) plugin.dispatch(effect, effClose);
    }
    intptr dispatch(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
        return plugin.dispatch(effect, opcode, index, value, ptr, opt);
    }
};

TEST_F(HostLevel, RecordAsTheHostSeesIt) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 16);
    EXPECT_EQ(effect->numParams, 9);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 25);
    EXPECT_EQ(effect->flags & effFlagsProgramChunks, 0);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->realQualities, 0);
    EXPECT_EQ(effect->offQualities, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->uniqueID, ('W' << 24) | ('Q' << 16) | ('V' << 8) | '2');
    EXPECT_EQ(effect->version, 1);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_NE(effect->dispatcher, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->setParameter, nullptr);
    EXPECT_NE(effect->getParameter, nullptr);
    EXPECT_EQ(effect->processDoubleReplacing, nullptr);
    for (char c : effect->future) EXPECT_EQ(c, 0);
}

TEST_F(HostLevel, StartUpAsksVersionFirstThenMidiAndPins) {
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front().opcode, audioMasterVersion);
    EXPECT_TRUE(host.calls.front().fromNullEffect);

    // After the version query: automation of program 0, then the first resume.
    std::vector<int32> afterAutomation;
    for (size_t i = 1; i < host.calls.size(); ++i) {
        EXPECT_FALSE(host.calls[i].fromNullEffect);
        if (host.calls[i].opcode != audioMasterAutomate) afterAutomation.push_back(host.calls[i].opcode);
    }
    ASSERT_EQ(afterAutomation.size(), 5u);
    EXPECT_EQ(afterAutomation[0], audioMasterWantMidi);
    for (size_t i = 1; i < afterAutomation.size(); ++i)
        EXPECT_EQ(afterAutomation[i], audioMasterPinConnected);
    auto pins = host.callsWith(audioMasterPinConnected);
    EXPECT_EQ(pins[0].index, 0);
    EXPECT_EQ(pins[0].value, 0);  // input
    EXPECT_EQ(pins[1].index, 0);
    EXPECT_EQ(pins[1].value, 1);  // output
    EXPECT_EQ(pins[2].index, 1);
    EXPECT_EQ(pins[3].index, 1);
}

TEST_F(HostLevel, ResumeRequestsMidiAgain) {
    host.clear();
    dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(host.callsWith(audioMasterWantMidi).size(), 1u);
    host.clear();
    dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(host.calls.empty());
}

// Every opcode 0..76 and beyond, with harmless arguments, answers as the host expects.
TEST_F(HostLevel, EveryOpcodeAnswers) {
    struct Expected {
        int32 opcode;
        intptr answer;
    };
    const Expected fixed[] = {
        {effOpen, 0},          {effGetProgram, 0},      {effGetVu, 0},
        {effEditDraw, 0},      {effEditMouse, 0},       {effEditKey, 0},
        {effEditTop, 0},       {effEditSleep, 0},       {effIdentify, 0x4e764566},
        {effCanBeAutomated, 1}, {effGetNumProgramCategories, 1}, {effConnectInput, 1},
        {effConnectOutput, 1}, {effGetPlugCategory, 1}, {effGetVendorVersion, 600},
        {effGetVstVersion, 2300}, {effKeysRequired, 1}, {effGetCurrentMidiProgram, -1},
        {effProcessEvents, 1},
    };
    for (const Expected& e : fixed) EXPECT_EQ(dispatch(e.opcode), e.answer) << "opcode " << e.opcode;

    const int32 silent[] = {27, 30, 33, 34, 36, 37, 38, 39, 40, 41, 44, 46, 50, 52, 53,
                            54, 55, 56, 62, 64, 65, 66, 67, 68, 70, 71, 72, 74, 75, 76};
    for (int32 opcode : silent) EXPECT_EQ(dispatch(opcode, 1, 1), 0) << "opcode " << opcode;
    for (int32 opcode : {77, 78, 1000, -1, -1000, 2147483647})
        EXPECT_EQ(dispatch(opcode, 1, 1), 0) << "opcode " << opcode;

    EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
    void* chunk = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(dispatch(effSetChunk, 0, 4, &chunk), 0);
}

TEST_F(HostLevel, EditorOpcodesAnswerBeforeAWindowIsOpen) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 800);
    EXPECT_EQ(rect->bottom - rect->top, 212);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1);
    EXPECT_EQ(dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), -1);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0) << "no parent window";
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(dispatch(effEditIdle), 0);
}

TEST_F(HostLevel, IdentityTextsArePaddedWithZeros) {
    struct Text {
        int32 opcode;
        size_t length;
    };
    for (Text t : {Text{effGetEffectName, 32}, Text{effGetProductString, 64},
                   Text{effGetVendorString, 64}}) {
        unsigned char buffer[100];
        std::memset(buffer, 0xAA, sizeof buffer);
        EXPECT_EQ(dispatch(t.opcode, 0, 0, buffer), 1);
        const size_t n = std::strlen(reinterpret_cast<char*>(buffer));
        ASSERT_LT(n, t.length);
        for (size_t i = n; i < t.length; ++i) EXPECT_EQ(buffer[i], 0) << "byte " << i;
        for (size_t i = t.length; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xAA) << "byte " << i;
        if (t.opcode != effGetVendorString)
            EXPECT_STREQ(reinterpret_cast<char*>(buffer), "Quorvane 0.6");
        else
            EXPECT_NE(std::strchr(reinterpret_cast<char*>(buffer), '@'), nullptr);
    }
}

TEST_F(HostLevel, NullPointersGetAPlainAnswer) {
    for (int32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel,
                         effGetParamDisplay, effGetParamName, effEditGetRect, effGetChunk,
                         effSetChunk, effProcessEvents, effGetProgramNameIndexed,
                         effSetSpeakerArrangement, effGetEffectName, effGetVendorString,
                         effGetProductString, effCanDo, effGetSpeakerArrangement}) {
        const intptr answer = dispatch(opcode, 0, 0, nullptr);
        EXPECT_TRUE(answer == 0 || answer == 1) << "opcode " << opcode << " answered " << answer;
    }
    EXPECT_EQ(dispatch(effCanDo), 0);
    EXPECT_EQ(dispatch(effGetEffectName), 0);
}

TEST_F(HostLevel, CanDoThroughTheRecord) {
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("ReceiveVstMidiEvent")), 0);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("")), 0);
}

TEST_F(HostLevel, ArrangementRulesOnATwoChannelInstance) {
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out), 1);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);

    VstSpeakerArrangement six{}, six2{};
    six.numChannels = six2.numChannels = 6;
    EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&six), &six2), 0);
    dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->type, 15);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);
}

TEST(HostLevelEntry, BothExportsMakeInstances) {
    RecordingHost host;
    LoadedPlugin plugin;
    ASSERT_TRUE(plugin.loaded());
    AEffect* a = plugin.instantiate();
    AEffect* b = plugin.instantiateViaMain();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(b->magic, kEffectMagic);
    EXPECT_EQ(a->dispatcher(a, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(b->dispatcher(b, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(HostLevelEntry, SilentHostGetsNothing) {
    RecordingHost host;
    host.versionAnswer = 0;
    LoadedPlugin plugin;
    ASSERT_TRUE(plugin.loaded());
    EXPECT_EQ(plugin.instantiate(), nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(plugin.instantiate(nullptr), nullptr);
}

}  // namespace
