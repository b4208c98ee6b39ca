// The factory programs: recall, notifications, names and edits kept per program.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dsp/ParameterModel.h"
#include "vst2/EditorBase.h"
#include "vst2/FilterEffect.h"
#include "tests/dsp/TestHost.h"

namespace {

class Programs : public ::testing::Test {
protected:
    void SetUp() override { TestHost::reset(); }
    std::string display(int index) {
        char text[32];
        effect.getParameterDisplay(index, text);
        return text;
    }
    std::string programName() {
        char text[32];
        effect.getProgramName(text);
        return text;
    }
    FilterEffect effect{TestHost::callback, 2, false};
};

struct ReadsAs {
    const char* name;
    bool highPass;
    int stages;
    double depth;  // 0: envelope off
    float saturation;  // 0: waveshaper off
};

const ReadsAs kFactory[kNumPrograms] = {
    {"LPF", false, 4, 0, 0},
    {"HPF", true, 1, 0, 0},
    {"Toasty Tubes", false, 4, -0.1024, 0.65f},
    {"Ottawa", true, 4, 0.9604, 0.72f},
    {"Inv Env Follow", false, 4, -1.6383, 0},
    {"Grungelizer", false, 4, 1.6383, 0},
    {"Inverse Grungelizer", false, 4, -1.6383, 0},
    {"HPF Grungelizer", true, 4, 1.6383, 0},
    {"Planet JX-3P", false, 4, -0.6611, 0.919462f},
    {"Wet Suction", true, 4, -1.8583, 0.74f},
    {"Ray Gun", true, 4, 0.3401, 0.6f},
    {"Neighbour's Party", false, 4, 0.1838, 0.6f},
    {"Alien Computer", true, 4, -0.5184, 0.64f},
    {"Blown Woofer", true, 4, 1.6383, 0},
    {"Blown Tweeter", false, 4, -1.6383, 0},
    {"MIDI Exp Wah-wah", true, 3, 0, 0},
};

struct RecordingEditor : EditorBase {
    using EditorBase::EditorBase;
    void setParameter(int32 index, float value) override { told.emplace_back(index, value); }
    std::vector<std::pair<int, float>> told;
};

}  // namespace

TEST_F(Programs, ConstructionAppliesProgramZero) {
    EXPECT_EQ(effect.getProgram(), 0);
    const float expected[kNumParams] = {0.5f, 0, 1, 0.2f, 0, 0.5f, 0.9f, 0.9f, 0};
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(effect.getParameter(i), expected[i]) << i;
    EXPECT_EQ(programName(), "LPF");
}

TEST_F(Programs, EveryFactoryProgramReadsAsItsTableSays) {
    for (int p = 0; p < kNumPrograms; ++p) {
        effect.setProgram(p);
        const ReadsAs& r = kFactory[p];
        EXPECT_EQ(programName(), r.name);
        char indexed[32];
        ASSERT_TRUE(effect.getProgramNameIndexed(7, p, indexed));
        EXPECT_STREQ(indexed, r.name) << "indexed, while program " << p << " is current";
        EXPECT_EQ(display(kMode), r.highPass ? "HPF" : "LPF") << p;
        EXPECT_EQ(display(kStages), std::to_string(r.stages) + " : " + std::to_string(-6 * r.stages)) << p;
        EXPECT_EQ(effect.envelopeEnabled(), r.depth != 0) << p;
        ParameterModel model(8);
        for (int i = 0; i < kNumParams; ++i) model.setValue(i, effect.getParameter(i));
        EXPECT_NEAR(model.settings().envDepth, r.depth, 5e-5) << p;
        if (r.saturation == 0)
            EXPECT_EQ(display(kOutSat), "OFF") << p;
        else
            EXPECT_EQ(effect.getParameter(kOutSat), r.saturation) << p;
    }
}

TEST_F(Programs, SetProgramNotifiesTheHostNineTimesInOrder) {
    effect.setProgram(9);
    // Wet Suction as the factory table gives it.
    const float wetSuction[kNumParams] = {0.5f, 1, 1, 0.4f, 0.3758f, 0.0872f, 0.7919f, 0.302f, 0.74f};
    ASSERT_EQ(TestHost::automation.size(), 9u);
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(TestHost::automation[i].first, i);
        EXPECT_EQ(TestHost::automation[i].second, wetSuction[i]) << i;
    }
    EXPECT_EQ(effect.getProgram(), 9);
}

TEST_F(Programs, ProgramChangesReachTheEditor) {
    auto* editor = new RecordingEditor(&effect);
    effect.attachEditor(editor);
    effect.setProgram(3);
    ASSERT_EQ(editor->told.size(), 9u);
    EXPECT_EQ(editor->told[kResonance], std::make_pair(int(kResonance), 0.55f));
    effect.setParameter(42, 0.3f);
    EXPECT_EQ(editor->told.back(), std::make_pair(42, 0.3f)) << "told even of unknown indices";
}

// The program record keeps the value as passed in, even an Env Amt in the dead zone
// that the parameter itself snaps to the centre.
TEST_F(Programs, EditsStayWithTheirProgramAsPassedIn) {
    effect.setProgram(5);
    effect.setParameter(kCutoff, 0.77f);
    effect.setParameter(kEnvAmount, 0.505f);
    EXPECT_EQ(effect.getParameter(kEnvAmount), 0.5f);
    effect.setProgram(6);
    EXPECT_EQ(effect.getParameter(kCutoff), 0.5f);
    TestHost::automation.clear();
    effect.setProgram(5);
    EXPECT_EQ(effect.getParameter(kCutoff), 0.77f);
    EXPECT_EQ(TestHost::automation[kEnvAmount].second, 0.505f);
    EXPECT_EQ(effect.getParameter(kEnvAmount), 0.5f);
}

TEST_F(Programs, InitNamesReadWithTheirNumber) {
    effect.setProgram(3);
    char name[] = "Init";
    effect.setProgramName(name);
    EXPECT_EQ(programName(), "Init 4");
    char text[32];
    ASSERT_TRUE(effect.getProgramNameIndexed(0, 3, text));
    EXPECT_STREQ(text, "Init");
    char lower[] = "init";
    effect.setProgramName(lower);
    EXPECT_EQ(programName(), "init");
}

TEST_F(Programs, IndexedNamesOutOfRangeAreRefused) {
    char text[32];
    for (int bad : {16, -1}) {
        std::strcpy(text, "keep");
        EXPECT_FALSE(effect.getProgramNameIndexed(0, bad, text));
        EXPECT_STREQ(text, "keep");
    }
}

TEST_F(Programs, LongNamesAreCutTo23Characters) {
    char longName[] = "A name far longer than the twenty-three characters that fit";
    effect.setProgramName(longName);
    char text[64];
    std::memset(text, 'x', sizeof text);
    effect.getProgramName(text);
    EXPECT_EQ(std::string(text), std::string(longName, 23));
    EXPECT_EQ(text[24], 'x');
}
