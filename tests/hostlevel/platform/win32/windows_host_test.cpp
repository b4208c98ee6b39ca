// Quorvane.dll as a Windows host sees it, run under Wine: the configuration file beside
// the library whatever its name, and a library too deep in the directory tree for the
// 260-byte path buffer.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

// Users rename copies (both widths side by side), and other formats' bundles name the file
// otherwise: the library still reads and writes the file beside itself, never the host's.
std::vector<float> renderTone(AEffect* effect) {
    const int frames = 4096;
    std::vector<float> left(frames), right(frames), outLeft(frames), outRight(frames);
    for (int n = 0; n < frames; ++n)
        left[n] = right[n] = static_cast<float>(0.5 * std::sin(2 * M_PI * 1000.0 * n / 44100.0));
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
    return outLeft;
}

TEST(WindowsHost, ARenamedLibraryUsesTheFileBesideItself) {
    const std::string besideHost = ownDirectory() + "\\Quorvane.ini";
    std::filesystem::remove(besideHost);
    RecordingHost host;
    LoadedPlugin plugin(QV_PLUGIN_PATH, "Quorvane (x64).dll");
    ASSERT_TRUE(plugin.loaded());
    const std::string besideLibrary = plugin.directory() + "\\Quorvane.ini";

    AEffect* first = plugin.instantiate();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(readWholeFile(besideLibrary).find("// Quorvane Configuration File"), 0u)
        << "the default file is not written beside the library";
    const std::vector<float> fullPower = renderTone(first);
    closeEffect(first);

    writeWholeFile(besideLibrary, "HALFPOWER\n");
    AEffect* second = plugin.instantiate();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(renderTone(second) != fullPower) << "the file beside the library is not read";
    closeEffect(second);
    EXPECT_FALSE(std::filesystem::exists(besideHost)) << "a file was written beside the host";
}

// This program run from a directory deeper than the 260-byte path buffer (ctest runs it
// so as hostlevel_long_library_path) loads a library copied beside itself: the cut path
// is refused, nothing is read or written.
TEST(LongLibraryPath, RefusesTheCutPath) {
    char probe[MAX_PATH];
    if (GetModuleFileNameA(nullptr, probe, sizeof probe) < sizeof probe)
        GTEST_SKIP() << "runs from a deep directory only";
    const std::string copyName = "Quorvane (x64).dll";
    ASSERT_TRUE(std::filesystem::copy_file(std::filesystem::u8path(QV_PLUGIN_PATH),
                                           std::filesystem::u8path(ownDirectory() + "\\" + copyName)));
    // A bare name is looked for in the program's own directory first.
    HMODULE library = LoadLibraryA(copyName.c_str());
    ASSERT_NE(library, nullptr);
    auto entry = reinterpret_cast<AEffect* (VSTCALL*)(audioMasterCallback)>(
        reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
    ASSERT_NE(entry, nullptr);
    RecordingHost host;
    EXPECT_EQ(entry(RecordingHost::callback), nullptr);
    ASSERT_EQ(host.calls.size(), 1u) << "only the version query";
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    FreeLibrary(library);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(ownDirectory() + "\\Quorvane.ini")));
}

}  // namespace
