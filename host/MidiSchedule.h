// Timed MIDI messages handed to the plug-in through effProcessEvents, each in the block
// that contains its time, at its offset inside that block.
#pragma once

#include <cstdint>
#include <vector>

#include "host/RenderOptions.h"
#include "vst2/vst2.h"

class MidiSchedule {
public:
    MidiSchedule(const std::vector<TimedMidiMessage>& messages, double sampleRate);

    // The events falling in [blockStart, blockStart + frames), or null when there are none.
    // Blocks must be asked for in order. Builds nothing new: every event exists already.
    VstEvents* eventsFor(std::int64_t blockStart, std::int32_t frames);

    // Messages whose time lies at or after endFrame (they would never be delivered).
    int countFrom(std::int64_t endFrame) const;

private:
    std::vector<std::int64_t> frames;  // ascending, one per event
    std::vector<VstMidiEvent> events;
    std::vector<intptr> eventList;  // a VstEvents record: two header words, then pointers
    std::size_t next = 0;
};
