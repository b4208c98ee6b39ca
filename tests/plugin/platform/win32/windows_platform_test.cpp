// The Windows platform pieces of the plug-in shell, run under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/Configuration.h"
#include "plugin/ConfigurationMessages.h"
#include "plugin/platform/ConfigFile.h"
#include "plugin/platform/Joystick.h"
#include "plugin/platform/ModulePath.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(WindowsModulePath, NamesTheModuleThatHoldsTheCode) {
    // Linked into this test program, the code finds the program, whatever its name.
    std::string path;
    ASSERT_TRUE(queryModuleFilePath(path));
    char own[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(path, std::string(own, length));
    EXPECT_EQ(kPathSeparator, '\\');
    EXPECT_NE(path.rfind('\\'), std::string::npos);
}

class WindowsConfigFile : public ::testing::Test {
protected:
    void SetUp() override { path = makeScratchDirectory("quorvane-win") + "\\Quorvane.ini"; }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ignored);
    }
    std::string path;
};

TEST_F(WindowsConfigFile, WrittenFileHasWindowsLineEnds) {
    std::FILE* file = createConfigurationFile(path.c_str());
    ASSERT_NE(file, nullptr);
    std::fputs("// one\nNUMCHANNELS 2\n\n", file);
    std::fclose(file);
    EXPECT_EQ(readWholeFile(path), "// one\r\nNUMCHANNELS 2\r\n\r\n");
}

TEST_F(WindowsConfigFile, AnExistingFileIsNotCreatedAgain) {
    writeWholeFile(path, "NUMCHANNELS 4\r\n");
    EXPECT_EQ(createConfigurationFile(path.c_str()), nullptr);
    EXPECT_EQ(readWholeFile(path), "NUMCHANNELS 4\r\n");
}

TEST_F(WindowsConfigFile, ReadingSeesTheBytesAsTheyAre) {
    writeWholeFile(path, "A\r\nB\x1a" "C");
    std::FILE* file = openConfigurationForReading(path.c_str());
    ASSERT_NE(file, nullptr);
    char buffer[16];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    // Binary mode: no CR dropped and no stop at Ctrl-Z, the reader sees everything.
    EXPECT_EQ(std::string(buffer, got), "A\r\nB\x1a" "C");
}

TEST(WindowsJoystick, NoStickMeansNoPosition) {
    // No joystick is attached where the tests run: the query fails and nothing is changed.
    JOYINFOEX probe{};
    probe.dwSize = sizeof probe;
    probe.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(JOYSTICKID1, &probe) == JOYERR_NOERROR) GTEST_SKIP() << "a joystick is attached";
    JoystickPosition position;
    position.x = 7;
    EXPECT_FALSE(openSystemJoystick()->read(position));
    EXPECT_EQ(position.x, 7u);
}

// What the user sees of a configuration problem: the message boxes, found and answered
// by a timer that runs inside their modal loops.
struct ShownBox {
    std::string caption, text;
    int buttons = 0;
    bool owned = false;
};
std::vector<ShownBox> shownBoxes;

BOOL CALLBACK inspectControl(HWND control, LPARAM box) {
    char kind[32];
    GetClassNameA(control, kind, sizeof kind);
    ShownBox& shown = *reinterpret_cast<ShownBox*>(box);
    if (lstrcmpiA(kind, "Button") == 0) ++shown.buttons;
    char text[256];
    if (lstrcmpiA(kind, "Static") == 0 && GetWindowTextA(control, text, sizeof text) > 0)
        shown.text = text;
    return TRUE;
}

BOOL CALLBACK answerBox(HWND window, LPARAM) {
    char kind[32];
    GetClassNameA(window, kind, sizeof kind);
    if (lstrcmpA(kind, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    ShownBox shown;
    char caption[256];
    GetWindowTextA(window, caption, sizeof caption);
    shown.caption = caption;
    shown.owned = GetWindow(window, GW_OWNER) != nullptr;
    EnumChildWindows(window, inspectControl, reinterpret_cast<LPARAM>(&shown));
    shownBoxes.push_back(shown);
    ShowWindow(window, SW_HIDE);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK lookForBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), answerBox, 0);
}

// Needs a display: ctest runs it as plugin_tests_message_box under Xvfb.
TEST(WindowsMessageBox, EachEmptyValueShowsAModalBoxAndReadingGoesOn) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    // A desktop of its own: Wine's default desktop may have been started by a test
    // without a display, and could show no window then.
    HDESK desktop = CreateDesktopA("QuorvaneMessageBoxTest", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(desktop, nullptr);
    ASSERT_TRUE(SetThreadDesktop(desktop));
    const std::string dir = makeScratchDirectory("quorvane-box");
    const std::string path = dir + "\\Quorvane.ini";
    writeWholeFile(path, "NUMCHANNELS\nMIDICCCUTOFF\nNUMCHANNELS 3\n");
    const ConfigurationMessageSink previous = setConfigurationMessageSink(nullptr);
    shownBoxes.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, lookForBoxes);
    StartupSettings settings;
    ControllerMap map;
    map.setDefaults();
    EXPECT_TRUE(readConfiguration(path, settings, map));
    KillTimer(nullptr, timer);
    setConfigurationMessageSink(previous);
    std::filesystem::remove_all(dir);

    ASSERT_EQ(shownBoxes.size(), 2u);
    EXPECT_EQ(shownBoxes[0].text, "Bad NUMCHANNELS");
    EXPECT_EQ(shownBoxes[1].text, "Bad MIDICCCUTOFF");
    for (const ShownBox& box : shownBoxes) {
        EXPECT_EQ(box.caption, "Quorvane.ini");
        EXPECT_EQ(box.buttons, 1) << "OK only";
        EXPECT_FALSE(box.owned);
    }
    EXPECT_EQ(settings.channelCount, 3);
}

}  // namespace
