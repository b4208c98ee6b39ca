// The joystick poll inside the audio loop: when it starts, how often it comes, and that
// it overwrites whatever else set a joystick-mapped parameter.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "vst2/FilterEffect.h"
#include "tests/plugin/FakeJoystick.h"

namespace {

class JoystickPoll : public ::testing::Test {
protected:
    void SetUp() override {
        processControllerMap().entries[kCutoff].set(kCcJoyX, 0.0f, 1.0f);
        effect.reset(new FilterEffect(nullptr, 1, false));
        auto device = std::make_unique<FakeJoystick>();
        joystick = device.get();
        effect->filterEngine().controllerMapping().useJoystick(std::move(device));
        joystick->position.x = 65535 / 4;
    }
    void TearDown() override { processControllerMap().setDefaults(); }

    void run(int frames) {
        std::vector<float> in(4096, 0.1f), out(4096);
        float* inputs[] = {in.data()};
        float* outputs[] = {out.data()};
        while (frames > 0) {
            const int block = frames < 4096 ? frames : 4096;
            effect->processReplacing(inputs, outputs, block);
            frames -= block;
        }
    }

    std::unique_ptr<FilterEffect> effect;
    FakeJoystick* joystick = nullptr;
};

TEST_F(JoystickPoll, StartsAfterTenSecondsAtFortyFourOneAndComesEveryIntervalFrames) {
    ASSERT_EQ(effect->filterEngine().pollInterval(), 735);
    const float x = static_cast<float>(65535 / 4) / 65535.0f;
    run(441735 - 1);
    EXPECT_EQ(joystick->reads, 0);
    EXPECT_NE(effect->getParameter(kCutoff), x);
    run(1);
    EXPECT_EQ(joystick->reads, 1);
    EXPECT_EQ(effect->getParameter(kCutoff), x);

    // The host's automation lasts only until the next poll.
    effect->setParameter(kCutoff, 0.9f);
    run(734);
    EXPECT_EQ(effect->getParameter(kCutoff), 0.9f);
    run(1);
    EXPECT_EQ(joystick->reads, 2);
    EXPECT_EQ(effect->getParameter(kCutoff), x);
}

// The first poll falls in the middle of one long block; the cutoff it sets takes effect
// from the next frame on, as if the host had set it between two blocks there.
TEST_F(JoystickPoll, APolledValueTakesEffectFromTheNextFrame) {
    FilterEffect twin(nullptr, 1, false);
    auto absent = std::make_unique<FakeJoystick>();
    absent->present = false;
    twin.filterEngine().controllerMapping().useJoystick(std::move(absent));
    const int pollFrame = 441735, frames = pollFrame + 500;
    std::vector<float> in(frames), out(frames), twinOut(frames);
    for (int i = 0; i < frames; ++i) in[i] = static_cast<float>(i % 37) / 37.0f - 0.5f;
    float* inputs[] = {in.data()};
    float* outputs[] = {out.data()};
    effect->processReplacing(inputs, outputs, frames);

    float* twinInputs[] = {in.data()};
    float* twinOutputs[] = {twinOut.data()};
    twin.processReplacing(twinInputs, twinOutputs, pollFrame);
    ASSERT_NE(twin.getParameter(kCutoff), effect->getParameter(kCutoff));
    twin.setParameter(kCutoff, effect->getParameter(kCutoff));
    twinInputs[0] += pollFrame;
    twinOutputs[0] += pollFrame;
    twin.processReplacing(twinInputs, twinOutputs, frames - pollFrame);
    EXPECT_EQ(std::mismatch(out.begin(), out.end(), twinOut.begin()).first - out.begin(), frames)
        << "first differing frame";
}

TEST_F(JoystickPoll, WithoutAJoystickTheParameterKeepsOtherValues) {
    joystick->present = false;
    run(441735 + 735 * 3);
    EXPECT_EQ(joystick->reads, 4);
    EXPECT_EQ(effect->getParameter(kCutoff), 0.2f) << "program 0's value stays";
    effect->setParameter(kCutoff, 0.7f);
    run(735);
    EXPECT_EQ(effect->getParameter(kCutoff), 0.7f);
}

TEST(JoystickPollUnmapped, NoPollWithoutAJoystickMapping) {
    FilterEffect effect(nullptr, 1, false);
    auto device = std::make_unique<FakeJoystick>();
    FakeJoystick* joystick = device.get();
    effect.filterEngine().controllerMapping().useJoystick(std::move(device));
    std::vector<float> in(8192, 0.0f), out(8192);
    float* inputs[] = {in.data()};
    float* outputs[] = {out.data()};
    for (int i = 0; i < 60; ++i) effect.processReplacing(inputs, outputs, 8192);
    EXPECT_EQ(joystick->reads, 0);
}

TEST(HalfPower, HalvesTheOversamplingFactor) {
    EXPECT_EQ(FilterEffect(nullptr, 2, false).oversampleFactor(), 8);
    EXPECT_EQ(FilterEffect(nullptr, 2, true).oversampleFactor(), 4);
}

}  // namespace
