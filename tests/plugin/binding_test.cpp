// The host binding's own logic, exercised on a minimal effect.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "vst2/EditorBase.h"
#include "vst2/EffectBaseExt.h"

namespace {

struct Call {
    int32 opcode;
    int32 index;
    intptr value;
    float opt;
};

std::vector<Call> hostCalls;
intptr pinAnswer = 0;

intptr VSTCALL recordingHost(AEffect*, int32 opcode, int32 index, intptr value, void*, float opt) {
    hostCalls.push_back({opcode, index, value, opt});
    return opcode == audioMasterPinConnected ? pinAnswer : 0;
}

class TestEffect : public EffectBaseExt {
public:
    explicit TestEffect(audioMasterCallback host, bool* destroyed = nullptr)
        : EffectBaseExt(host, 16, 9), destroyed(destroyed) {}
    ~TestEffect() override {
        if (destroyed) *destroyed = true;
    }
    std::int32_t oversampleFactor() const override { return 1; }
    void process(float**, float**, int32) override {}
    void setParameter(int32 index, float value) override {
        events.push_back("set " + std::to_string(index) + " " + std::to_string(value));
        // The host must not have been told yet.
        setBeforeNotify = hostCalls.empty();
    }
    void setProgram(int32 program) override {
        events.push_back("program " + std::to_string(program));
        EffectBaseExt::setProgram(program);
    }
    void suspend() override { events.push_back("suspend"); }
    void resume() override { events.push_back("resume"); }

    std::vector<std::string> events;
    bool setBeforeNotify = false;
    bool* destroyed;
};

class RecordingEditor : public EditorBase {
public:
    explicit RecordingEditor(EditedPlugin* effect, bool* destroyed = nullptr)
        : EditorBase(effect), destroyed(destroyed) {}
    ~RecordingEditor() override {
        if (destroyed) *destroyed = true;
    }
    void update() override { ++updates; }
    intptr onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return 7;
    }
    bool hasFocusView() const override { return focus; }

    int updates = 0;
    VstKeyCode lastKey{};
    bool focus = false;
    bool* destroyed;
};

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostCalls.clear();
        pinAnswer = 0;
    }
    intptr dispatch(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
        AEffect* e = effect->effectRecord();
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    // Offers a pair of arrangements and answers the pair the effect then reports.
    std::pair<VstSpeakerArrangement*, VstSpeakerArrangement*> offer(VstSpeakerArrangement in,
                                                                     VstSpeakerArrangement out, intptr answer) {
        EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out), answer);
        std::memset(&in, 0x55, sizeof in);  // the effect must hold copies, not the host's records
        std::memset(&out, 0x55, sizeof out);
        VstSpeakerArrangement *gotIn = nullptr, *gotOut = nullptr;
        EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&gotIn), &gotOut), 1);
        EXPECT_NE(gotIn, nullptr);
        EXPECT_NE(gotOut, nullptr);
        return {gotIn, gotOut};
    }
    TestEffect* effect = new TestEffect(recordingHost);
    void TearDown() override { dispatch(effClose); }
};

VstSpeakerArrangement arrangement(int32 channels, int32 type = 1) {
    VstSpeakerArrangement a{};
    a.type = type;
    a.numChannels = channels;
    for (int i = 0; i < 8; ++i) {
        a.speakers[i].azimuth = 0.25f * static_cast<float>(i + 1);
        std::snprintf(a.speakers[i].name, sizeof a.speakers[i].name, "speaker %d", i);
        a.speakers[i].type = i + 1;
        a.speakers[i].future[27] = static_cast<char>(i + 1);
    }
    return a;
}

TEST_F(BindingTest, ProgramChangesOnlyForValidIndices) {
    for (intptr value : {intptr(-1), intptr(16), intptr(1) << (sizeof(intptr) * 8 - 2), intptr(15)}) dispatch(effSetProgram, 0, value);
    EXPECT_EQ(effect->events, std::vector<std::string>({"program 15"}));
    EXPECT_EQ(dispatch(effGetProgram), 15);
}

TEST_F(BindingTest, MainsChangedZeroSuspendsAnythingElseResumes) {
    dispatch(effMainsChanged, 0, 0);
    dispatch(effMainsChanged, 0, 1);
    dispatch(effMainsChanged, 0, -5);
    EXPECT_EQ(effect->events, std::vector<std::string>({"suspend", "resume", "resume"}));
}

TEST_F(BindingTest, SampleRateAndBlockSizeAreStored) {
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(effect->getSampleRate(), 48000.0f);
    EXPECT_EQ(effect->getBlockSize(), 256);
    EXPECT_EQ(dispatch(effSetBlockSizeAndSampleRate, 0, 64, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect->getSampleRate(), 96000.0f);
    EXPECT_EQ(effect->getBlockSize(), 64);
}

TEST_F(BindingTest, AutomatedSetTellsTheHostAfterSetting) {
    effect->setParameterAndNotify(3, 0.25f);
    ASSERT_EQ(effect->events.size(), 1u);
    EXPECT_TRUE(effect->setBeforeNotify);
    ASSERT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(hostCalls[0].index, 3);
    EXPECT_EQ(hostCalls[0].value, 0);
    EXPECT_EQ(hostCalls[0].opt, 0.25f);
}

TEST_F(BindingTest, HostCallsCarryTheirArguments) {
    effect->requestMidiEvents(1);
    effect->beginEdit(4);
    effect->endEdit(4);
    effect->hostIdle();
    pinAnswer = 1;
    EXPECT_FALSE(effect->isInputConnected(2));
    EXPECT_FALSE(effect->isOutputConnected(3));
    ASSERT_EQ(hostCalls.size(), 6u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterWantMidi);
    EXPECT_EQ(hostCalls[0].value, 1);
    EXPECT_EQ(hostCalls[1].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls[1].index, 4);
    EXPECT_EQ(hostCalls[2].opcode, audioMasterEndEdit);
    EXPECT_EQ(hostCalls[3].opcode, audioMasterIdle);
    EXPECT_EQ(hostCalls[4].opcode, audioMasterPinConnected);
    EXPECT_EQ(hostCalls[4].index, 2);
    EXPECT_EQ(hostCalls[4].value, 0);
    EXPECT_EQ(hostCalls[5].index, 3);
    EXPECT_EQ(hostCalls[5].value, 1);
}

TEST(BindingWithoutHost, HostCallsFallBackToDefaults) {
    TestEffect effect(nullptr);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(5));
    EXPECT_EQ(effect.hostVersion(), 0);
    effect.setParameterAndNotify(1, 0.5f);  // must not call through a null host
    EXPECT_EQ(effect.events.size(), 1u);
}

TEST(BindingLifetime, CloseDestroysEffectAndItsEditor) {
    bool effectGone = false, editorGone = false;
    auto* effect = new TestEffect(recordingHost, &effectGone);
    effect->attachEditor(new RecordingEditor(effect, &editorGone));
    AEffect* e = effect->effectRecord();
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(effectGone);
    EXPECT_TRUE(editorGone);
}

TEST_F(BindingTest, EditorOpcodesReachTheAttachedEditor) {
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1F5, nullptr, 9.0f), 0) << "no editor yet";
    auto* editor = new RecordingEditor(effect);
    effect->attachEditor(editor);
    EXPECT_EQ(effect->effectRecord()->flags & effFlagsHasEditor, effFlagsHasEditor);

    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1F5, nullptr, 265.0f), 7);
    EXPECT_EQ(editor->lastKey.character, 'a');
    EXPECT_EQ(editor->lastKey.virt, 0xF5);
    EXPECT_EQ(editor->lastKey.modifier, 265 & 0xFF);
    EXPECT_EQ(dispatch(effEditKeyUp, 'a'), -1);

    // A modifier the host sends as NaN or a huge number is no reason for undefined behaviour.
    dispatch(effEditKeyDown, 'b', 0, nullptr, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(editor->lastKey.modifier, 0);
    dispatch(effEditKeyDown, 'b', 0, nullptr, 1e30f);
    EXPECT_EQ(editor->lastKey.modifier, 0);

    ERect* rect = reinterpret_cast<ERect*>(0x1);
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(dispatch(effEditGetRect), 0) << "null rectangle pointer";
    // The base editor opens no panel, but keeps the host's window.
    int window = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_EQ(editor->getSystemWindow(), &window);

    EXPECT_EQ(dispatch(effKeysRequired), 1);
    editor->focus = true;
    EXPECT_EQ(dispatch(effKeysRequired), 0);

    editor->requestUpdate();
    editor->requestUpdate();
    dispatch(effEditIdle);
    dispatch(effEditIdle);
    EXPECT_EQ(editor->updates, 1);

    effect->attachEditor(nullptr);
    EXPECT_EQ(effect->effectRecord()->flags & effFlagsHasEditor, 0);
    delete editor;
}

TEST_F(BindingTest, CanDoKnowsExactlyFourTexts) {
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                            "receiveVstTimeInfo"}) {
        EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
    }
    for (const char* no : {"ReceiveVstMidiEvent", "", "receiveVstMidiEvents", "receiveVst",
                           "bypass"}) {
        EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>(no)), 0) << no;
    }
    EXPECT_EQ(dispatch(effCanDo), 0);
}

TEST_F(BindingTest, AcceptedArrangementsAreCopiedWhole) {
    for (int32 channels : {0, 2}) {
        const auto [in, out] = offer(arrangement(channels, 1), arrangement(channels, 1), 1);
        ASSERT_TRUE(in && out);
        EXPECT_EQ(in->type, 1);
        EXPECT_EQ(in->numChannels, channels);
        EXPECT_EQ(out->numChannels, channels);
    }
    const auto [in, out] = offer(arrangement(2, 1), arrangement(2, 1), 1);
    ASSERT_TRUE(in && out);
    EXPECT_STREQ(in->speakers[0].name, "speaker 0");
    EXPECT_EQ(in->speakers[1].azimuth, 0.5f);
    EXPECT_EQ(in->speakers[1].type, 2);
    EXPECT_EQ(in->speakers[1].future[27], 2);
}

TEST_F(BindingTest, RefusedArrangementsAreReplaced) {
    // Too wide an input becomes a zeroed two-channel user arrangement, and so does the output...
    auto [in, out] = offer(arrangement(6), arrangement(6), 0);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->type, kSpeakerArrUserDefined);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(in->speakers[0].name[0], 0);
    EXPECT_EQ(in->speakers[1].azimuth, 0.0f);
    EXPECT_EQ(out->type, kSpeakerArrUserDefined);
    EXPECT_EQ(out->numChannels, 2);
    // ...unless the output was offered with two channels.
    std::tie(in, out) = offer(arrangement(6), arrangement(2, 3), 0);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->type, 3);
    EXPECT_STREQ(out->speakers[1].name, "speaker 1");
    // An output that does not match a valid input is replaced by the input.
    std::tie(in, out) = offer(arrangement(1, 4), arrangement(2, 1), 0);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->type, 4);
    EXPECT_EQ(out->numChannels, 1);
    for (int32 channels : {-1, -2147483647 - 1, 2147483647, 9}) {
        std::tie(in, out) = offer(arrangement(channels), arrangement(channels), 0);
        ASSERT_TRUE(in && out);
        EXPECT_EQ(in->numChannels, 2) << channels;
        EXPECT_EQ(out->numChannels, 2) << channels;
    }
}

TEST_F(BindingTest, ArrangementPointersMayBeMissing) {
    VstSpeakerArrangement* in = reinterpret_cast<VstSpeakerArrangement*>(0x1);
    VstSpeakerArrangement* out = in;
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out), 1);
    EXPECT_EQ(in, nullptr) << "none before one is set";
    EXPECT_EQ(out, nullptr);

    VstSpeakerArrangement good = arrangement(2);
    EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, 0, &good), 0);
    EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&good), nullptr), 0);
    // Only one place to write to: what can be written is, and the answer is 0.
    offer(arrangement(2), arrangement(2), 1);
    in = nullptr;
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), nullptr), 0);
    EXPECT_NE(in, nullptr);
}

}  // namespace
