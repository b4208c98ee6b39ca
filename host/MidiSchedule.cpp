#include "host/MidiSchedule.h"

#include <algorithm>
#include <cmath>
#include <numeric>

MidiSchedule::MidiSchedule(const std::vector<TimedMidiMessage>& messages, double sampleRate) {
    std::vector<std::size_t> order(messages.size());
    std::iota(order.begin(), order.end(), 0);
    // Messages at the same time keep their command-line order.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return messages[a].seconds < messages[b].seconds;
    });
    for (std::size_t index : order) {
        const TimedMidiMessage& message = messages[index];
        VstMidiEvent event = {};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        for (int i = 0; i < 3; ++i) event.midiData[i] = static_cast<char>(message.bytes[i]);
        events.push_back(event);
        frames.push_back(static_cast<std::int64_t>(std::llround(message.seconds * sampleRate)));
    }
    eventList.assign(2 + events.size(), 0);
}

VstEvents* MidiSchedule::eventsFor(std::int64_t blockStart, std::int32_t blockFrames) {
    VstEvents* list = reinterpret_cast<VstEvents*>(eventList.data());
    int32 count = 0;
    while (next < events.size() && frames[next] < blockStart + blockFrames) {
        VstMidiEvent& event = events[next];
        event.deltaFrames = static_cast<int32>(std::max<std::int64_t>(0, frames[next] - blockStart));
        // Written through the storage: the record's pointer array is declared 2 long.
        eventList[2 + count++] = reinterpret_cast<intptr>(&event);
        ++next;
    }
    list->numEvents = count;
    return count ? list : nullptr;
}

int MidiSchedule::countFrom(std::int64_t endFrame) const {
    return static_cast<int>(frames.end() - std::lower_bound(frames.begin(), frames.end(), endFrame));
}
