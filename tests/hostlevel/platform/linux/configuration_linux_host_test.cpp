// The configuration file of Quorvane.so: where a renamed library looks, and messages
// when no display is there to show them.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "tests/support/HostHarness.h"
#include "tests/support/TestFiles.h"

namespace {

void closeEffect(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

TEST(ConfigurationHost, ARenamedLibraryStillReadsTheFileBesideItself) {
    RecordingHost host;
    LoadedPlugin plugin(QV_PLUGIN_PATH, "MyFilter.so");
    writeWholeFile(plugin.directory() + "/Quorvane.ini", "NUMCHANNELS 1\n");
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numInputs, 1);
    closeEffect(effect);
}

TEST(ConfigurationHost, ProblemsReachTheUserWithoutADisplay) {
    const char* display = getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    RecordingHost host;
    LoadedPlugin plugin;
    writeWholeFile(plugin.directory() + "/Quorvane.ini", "NUMCHANNELS\nMIDICCCUTOFF\n");
    testing::internal::CaptureStderr();
    AEffect* effect = plugin.instantiate();
    const std::string said = testing::internal::GetCapturedStderr();
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_NE(effect, nullptr);
    EXPECT_NE(said.find("Quorvane.ini: Bad NUMCHANNELS\n"), std::string::npos) << said;
    EXPECT_NE(said.find("Quorvane.ini: Bad MIDICCCUTOFF\n"), std::string::npos) << said;
    EXPECT_EQ(effect->numInputs, 2);
    closeEffect(effect);
}

}  // namespace
