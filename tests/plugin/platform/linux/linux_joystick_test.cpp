// The Linux joystick reader, fed through a pipe in place of /dev/input/js0.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "plugin/platform/linux/LinuxJoystick.h"

namespace {

class LinuxJoystickTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvane-js-XXXXXX";
        dir = mkdtemp(pattern);
        path = dir + "/js0";
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
    void TearDown() override {
        if (writer >= 0) close(writer);
        std::filesystem::remove_all(dir);
    }
    // Read-write, so the pipe has a writer before the reader opens it, as a device would.
    void openWriter() { writer = open(path.c_str(), O_RDWR | O_NONBLOCK); }
    void axis(int number, int value, bool init = false) {
        js_event e{};
        e.type = static_cast<__u8>(JS_EVENT_AXIS | (init ? JS_EVENT_INIT : 0));
        e.number = static_cast<__u8>(number);
        e.value = static_cast<__s16>(value);
        ASSERT_EQ(write(writer, &e, sizeof e), static_cast<ssize_t>(sizeof e));
    }

    std::string dir, path;
    int writer = -1;
};

TEST_F(LinuxJoystickTest, AxesAreScaledAndFollowEvents) {
    openWriter();
    ASSERT_GE(writer, 0);
    LinuxJoystick stick(path);
    JoystickPosition position;
    ASSERT_TRUE(stick.read(position));
    EXPECT_EQ(position.x, 32767u) << "axes start centred";
    axis(0, -32768, true);
    axis(1, 32767);
    axis(3, 0);
    axis(9, 100);  // an axis beyond the four is ignored
    ASSERT_TRUE(stick.read(position));
    EXPECT_EQ(position.x, 0u);
    EXPECT_EQ(position.y, 65535u);
    EXPECT_EQ(position.z, 32767u);
    EXPECT_EQ(position.r, 32768u);
}

TEST_F(LinuxJoystickTest, AVanishedDeviceReadsAsAbsentAndComesBack) {
    openWriter();
    LinuxJoystick stick(path);
    JoystickPosition position;
    ASSERT_TRUE(stick.read(position));
    axis(0, 1000);
    ASSERT_TRUE(stick.read(position));
    close(writer);
    writer = -1;
    EXPECT_FALSE(stick.read(position)) << "end of stream: the device is gone";
    std::filesystem::remove(path);
    position.x = 7;
    EXPECT_FALSE(stick.read(position));
    EXPECT_EQ(position.x, 7u) << "a failed read changes nothing";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    openWriter();
    EXPECT_TRUE(stick.read(position)) << "plugged in again";
}

TEST(LinuxJoystickAbsent, NoDeviceNoPosition) {
    LinuxJoystick stick("/nonexistent/js0");
    JoystickPosition position;
    EXPECT_FALSE(stick.read(position));
}

}  // namespace
