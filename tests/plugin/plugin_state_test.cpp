// The saved state and the parameters' texts, as every format's binding uses them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugin/PluginDescription.h"
#include "plugin/PluginState.h"

namespace {

PluginSettings programSettings(std::int32_t program) {
    PluginSettings s;
    s.program = program;
    for (int i = 0; i < kNumParams; ++i) s.values[i] = factoryProgram(program).values[i];
    return s;
}

bool sameSettings(const PluginSettings& a, const PluginSettings& b) {
    return a.program == b.program && std::memcmp(a.values, b.values, sizeof a.values) == 0;
}

}  // namespace

TEST(PluginState, EverySavedStateLoadsBackExactly) {
    std::vector<PluginSettings> cases;
    for (int p = 0; p < kNumPrograms; ++p) cases.push_back(programSettings(p));
    std::mt19937 random(9);
    std::uniform_real_distribution<float> value(-0.5f, 1.5f);  // hosts may go past 0..1
    for (int n = 0; n < 50; ++n) {
        PluginSettings s;
        s.program = static_cast<std::int32_t>(random() % kNumPrograms);
        for (float& v : s.values) v = value(random);
        cases.push_back(s);
    }
    for (const PluginSettings& saved : cases) {
        const std::vector<std::uint8_t> bytes = writePluginState(saved);
        PluginSettings loaded = programSettings(3);
        ASSERT_TRUE(readPluginState(bytes.data(), bytes.size(), loaded));
        EXPECT_TRUE(sameSettings(loaded, saved)) << saved.program;
    }
}

TEST(PluginState, ABadStateIsRefusedAndChangesNothing) {
    const std::vector<std::uint8_t> good = writePluginState(programSettings(8));
    auto with = [&](std::size_t at, std::uint8_t byte) {
        std::vector<std::uint8_t> b = good;
        b[at] = byte;
        return b;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<std::uint8_t> notFinite = good;
    std::memcpy(&notFinite[16 + 4], &nan, 4);
    std::vector<std::uint8_t> duplicateId = good;
    duplicateId[16 + 8] = duplicateId[16];  // the second entry names the first id again
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"short", {good.begin(), good.begin() + 6}},
        {"truncated", {good.begin(), good.end() - 1}},
        {"one byte too many", [&] { auto b = good; b.push_back(0); return b; }()},
        {"garbage", std::vector<std::uint8_t>(good.size(), 0xA5)},
        {"another format", with(0, 'X')},
        {"a newer version", with(4, 2)},
        {"program out of range", with(8, kNumPrograms)},
        {"more entries than sent", with(12, kNumParams + 1)},
        {"a value that is not a number", notFinite},
        {"an id twice, one missing", duplicateId},
    };
    for (const auto& c : cases) {
        PluginSettings settings = programSettings(5);
        EXPECT_FALSE(readPluginState(c.bytes.data(), c.bytes.size(), settings)) << c.what;
        EXPECT_TRUE(sameSettings(settings, programSettings(5))) << c.what;
    }
    PluginSettings untouched = programSettings(5);
    EXPECT_FALSE(readPluginState(nullptr, 0, untouched));
}

// Text to value reads what value to text writes, for every display the host shows.
TEST(ParameterText, DisplayTextsReadBackToTheirValue) {
    const struct {
        std::int32_t index;
        float value;
        const char* text;
    } cases[] = {
        {kInTrim, 0.5f, "100.0000"}, {kMode, 0.0f, "LPF"},        {kMode, 1.0f, "HPF"},
        {kStages, 0.0f, "1 : -6"},   {kStages, 1.0f / 3, "2 : -12"}, {kStages, 1.0f, "4 : -24"},
        {kCutoff, 0.25f, "25.0000"}, {kResonance, 1.0f, "100.0000"}, {kEnvAmount, 0.5f, "OFF"},
        {kEnvAmount, 0.0f, "-100.0000"}, {kEnvAttack, 0.9f, "90.0000"}, {kOutSat, 0.0f, "OFF"},
        {kOutSat, 0.65f, "65.0000"},
    };
    for (const auto& c : cases) {
        char text[kParameterTextSize];
        parameterValueText(c.index, c.value, text);
        EXPECT_STREQ(text, c.text) << c.index;
        float value = -1.0f;
        ASSERT_TRUE(parameterValueFromText(c.index, text, value)) << c.text;
        EXPECT_NEAR(value, c.value, 1e-6f) << c.text;
        char again[kParameterTextSize];
        parameterValueText(c.index, value, again);
        EXPECT_STREQ(again, text);
    }
    float untouched = 0.25f;
    for (const auto& [index, text] : std::vector<std::pair<int, const char*>>{
             {kCutoff, "loud"}, {kCutoff, ""}, {kMode, "BPF"}, {kStages, "5"}, {kInTrim, "OFF"}})
        EXPECT_FALSE(parameterValueFromText(index, text, untouched)) << text;
    EXPECT_EQ(untouched, 0.25f);
    EXPECT_TRUE(parameterValueFromText(kCutoff, "250", untouched));
    EXPECT_EQ(untouched, 1.0f) << "clamped to the range";
}
