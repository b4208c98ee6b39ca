// Parameter changes handed from the thread that makes them to the audio thread, which
// takes them at the start of its next block; when full, a change is dropped, as a host
// drops automation it cannot keep up with.
#pragma once

#include <cstdint>

#include "common/SingleReaderQueue.h"

struct ParameterChange {
    std::int32_t index = 0;
    float value = 0.0f;  // normalised
};

using ParameterQueue = SingleReaderQueue<ParameterChange, 1024>;
