// Quorvane.dll as a Windows host sees it, run under Wine: the configuration file beside
// the library, beside the host when the library is renamed, and a host too deep in the
// directory tree for the 260-byte path buffer.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/HostHarness.h"
#include "tests/support/TestFiles.h"

namespace {

void closeEffect(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

std::string ownExecutable() {
    char name[4096];
    const DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
    return std::string(name, length);
}

std::string ownDirectory() {
    const std::string exe = ownExecutable();
    return exe.substr(0, exe.rfind('\\'));
}

TEST(WindowsHost, DefaultFileHasWindowsLineEnds) {
    RecordingHost host;
    LoadedPlugin plugin;
    AEffect* effect = plugin.instantiate();
    ASSERT_NE(effect, nullptr);
    const std::string text = readWholeFile(plugin.directory() + "\\Quorvane.ini");
    ASSERT_FALSE(text.empty());
    size_t lineFeeds = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        ++lineFeeds;
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at byte " << i;
    }
    EXPECT_EQ(lineFeeds, 27u);
    closeEffect(effect);
}

// The panel images travel inside the library as "ZVB" resources: PNG files whose bytes
// other than 0x00 and 0xFF are complemented.
TEST(WindowsHost, PanelImagesAreResourcesOfTheLibrary) {
    LoadedPlugin plugin;
    ASSERT_TRUE(plugin.loaded());
    HMODULE library = GetModuleHandleA(QV_PLUGIN_FILE_NAME);
    ASSERT_NE(library, nullptr);
    const unsigned char scrambledSignature[] = {0x76, 0xAF, 0xB1, 0xB8, 0xF2, 0xF5, 0xE5, 0xF5};
    for (int id : {122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 134}) {
        HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(id), "ZVB");
        ASSERT_NE(found, nullptr) << "image " << id;
        ASSERT_GT(SizeofResource(library, found), sizeof scrambledSignature);
        const void* bytes = LockResource(LoadResource(library, found));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::memcmp(bytes, scrambledSignature, sizeof scrambledSignature), 0) << "image " << id;
    }
}

// Under another name the library is not found by its own name, and the file name query
// then gives the host's executable: the configuration file is the one beside the host.
TEST(WindowsHost, ARenamedLibraryUsesTheFileBesideTheHost) {
    const std::string besideHost = ownDirectory() + "\\Quorvane.ini";
    std::filesystem::remove(besideHost);
    RecordingHost host;
    LoadedPlugin plugin(QV_PLUGIN_PATH, "MyFilter.dll");
    ASSERT_TRUE(plugin.loaded());
    const std::string besideLibrary = plugin.directory() + "\\Quorvane.ini";
    writeWholeFile(besideLibrary, "NUMCHANNELS 5\n");

    AEffect* first = plugin.instantiate();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->numInputs, 2) << "the file beside the library is not read";
    EXPECT_EQ(readWholeFile(besideHost).find("// Quorvane Configuration File"), 0u)
        << "the default file is written beside the host";
    EXPECT_EQ(readWholeFile(besideLibrary), "NUMCHANNELS 5\n");

    writeWholeFile(besideHost, "NUMCHANNELS 1\n");
    AEffect* second = plugin.instantiate();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->numInputs, 1);
    closeEffect(first);
    closeEffect(second);
    std::filesystem::remove(besideHost);
}

// A copy of this program run from a directory deeper than the 260-byte path buffer
// (ctest runs it so as hostlevel_long_host_path) loads a renamed library, which then
// looks for the host's path: the cut path is refused, nothing is read or written.
TEST(LongHostPath, RenamedLibraryRefusesTheCutPath) {
    char probe[MAX_PATH];
    if (GetModuleFileNameA(nullptr, probe, sizeof probe) < sizeof probe)
        GTEST_SKIP() << "runs from a deep directory only";
    RecordingHost host;
    LoadedPlugin plugin(QV_PLUGIN_PATH, "MyFilter.dll");
    ASSERT_TRUE(plugin.loaded());
    EXPECT_EQ(plugin.instantiate(), nullptr);
    ASSERT_EQ(host.calls.size(), 1u) << "only the version query";
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
}

}  // namespace
