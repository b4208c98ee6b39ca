// The Windows platform pieces of the plug-in shell, run under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "plugin/platform/ConfigFile.h"
#include "plugin/platform/Joystick.h"
#include "plugin/platform/ModulePath.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(WindowsModulePath, OutsideQuorvaneDllTheHostsExecutableIsNamed) {
    // This test program is not Quorvane.dll, just as a renamed copy of the library is not.
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

}  // namespace
