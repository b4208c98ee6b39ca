#include <gtest/gtest.h>

#include "host/MidiSchedule.h"

namespace {

TimedMidiMessage controlChange(double seconds, unsigned char value) {
    TimedMidiMessage message;
    message.seconds = seconds;
    message.bytes[0] = 0xB0;
    message.bytes[1] = 1;
    message.bytes[2] = value;
    return message;
}

const VstMidiEvent& eventAt(const VstEvents* events, int i) {
    VstEvent* const* list = reinterpret_cast<VstEvent* const*>(
        reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
    return *reinterpret_cast<const VstMidiEvent*>(list[i]);
}

}  // namespace

TEST(MidiSchedule, AnEventArrivesInTheBlockHoldingItsTimeAtItsOffset) {
    MidiSchedule schedule({controlChange(0.5, 9)}, 1000.0);  // frame 500
    EXPECT_EQ(schedule.eventsFor(0, 256), nullptr);
    VstEvents* events = schedule.eventsFor(256, 256);
    ASSERT_NE(events, nullptr);
    ASSERT_EQ(events->numEvents, 1);
    const VstMidiEvent& event = eventAt(events, 0);
    EXPECT_EQ(event.type, kVstMidiType);
    EXPECT_EQ(event.byteSize, static_cast<int32>(sizeof(VstMidiEvent)));
    EXPECT_EQ(event.deltaFrames, 244);
    EXPECT_EQ(static_cast<unsigned char>(event.midiData[2]), 9);
    EXPECT_EQ(schedule.eventsFor(512, 256), nullptr);
}

TEST(MidiSchedule, EventsAreSortedByTimeAndTiesKeepTheirOrder) {
    MidiSchedule schedule({controlChange(0.3, 1), controlChange(0.1, 2), controlChange(0.3, 3), controlChange(0.1, 4)},
                          100.0);
    VstEvents* events = schedule.eventsFor(0, 64);
    ASSERT_NE(events, nullptr);
    ASSERT_EQ(events->numEvents, 4);
    const int expectedValues[] = {2, 4, 1, 3};
    const int expectedOffsets[] = {10, 10, 30, 30};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(eventAt(events, i).midiData[2], expectedValues[i]);
        EXPECT_EQ(eventAt(events, i).deltaFrames, expectedOffsets[i]);
    }
}

TEST(MidiSchedule, CountsEventsThatWouldFallAfterTheEnd) {
    MidiSchedule schedule({controlChange(0.5, 1), controlChange(2.0, 1), controlChange(1.0, 1)}, 1000.0);
    EXPECT_EQ(schedule.countFrom(1000), 2);  // frame 1000 itself is past the last frame 999
    EXPECT_EQ(schedule.countFrom(5000), 0);
}
