// The panel's gestures on their way from the main thread to the host's output events,
// which only process or flush may fill (never both at once: one reader).
#pragma once

#include <cstdint>

#include "common/SingleReaderQueue.h"

struct Gesture {
    enum Kind : std::uint16_t { Begin, Value, End } kind;
    std::int32_t index;
    double value;
};

using GestureQueue = SingleReaderQueue<Gesture, 256>;
