// The MIDI messages in a host's VST 2 event list.
#pragma once

#include "vst2/vst2.h"

// Hosts count byteSize with or without the 8-byte header; below this a MIDI event cannot
// hold its three MIDI bytes under either reading.
constexpr int32 kMinimumMidiEventSize = 24;

// Calls message(status, data1, data2) for each MIDI event, in list order; other events,
// null entries and events too short to hold a message are passed over.
template <typename Message>
void forEachMidiMessage(const VstEvents* events, Message message) {
    if (!events) return;
    // The array is declared with two entries but really holds numEvents.
    VstEvent* const* list = events->events;
    for (int32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (!event || event->type != kVstMidiType || event->byteSize < kMinimumMidiEventSize)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        message(static_cast<unsigned char>(midi->midiData[0]),
                static_cast<unsigned char>(midi->midiData[1]),
                static_cast<unsigned char>(midi->midiData[2]));
    }
}
