// Parameter changes the engine made on the audio thread (MIDI, joystick), on their way
// to the format binding, which reports them its own way. One writer, one reader, no
// lock and no allocation. When the reader falls behind, a change that does not fit is
// remembered per parameter and handed out later with the parameter's value then, so the
// last value of every parameter always arrives.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/Parameters.h"

struct ParameterChange {
    std::int32_t index;
    float value;
};

class ParameterChangeQueue {
public:
    static constexpr std::uint32_t kCapacity = 256;

    // The writer's side.
    void push(ParameterChange change) {
        const std::uint32_t tail = writeCount.load(std::memory_order_relaxed);
        if (tail - readCount.load(std::memory_order_acquire) == kCapacity) {
            missed.fetch_or(1u << change.index, std::memory_order_release);
            return;
        }
        slots[tail % kCapacity] = change;
        writeCount.store(tail + 1, std::memory_order_release);
    }

    // The reader's side: the next change, or for a parameter whose change did not fit,
    // its index and currentValue(index). False when nothing is waiting.
    template <typename CurrentValue>
    bool pop(ParameterChange& change, CurrentValue currentValue) {
        const std::uint32_t head = readCount.load(std::memory_order_relaxed);
        if (head != writeCount.load(std::memory_order_acquire)) {
            change = slots[head % kCapacity];
            readCount.store(head + 1, std::memory_order_release);
            return true;
        }
        const std::uint32_t mask = missed.load(std::memory_order_acquire);
        if (mask == 0) return false;
        std::int32_t index = 0;
        while (!(mask & (1u << index))) ++index;
        missed.fetch_and(~(1u << index), std::memory_order_acq_rel);
        change = {index, currentValue(index)};
        return true;
    }

private:
    static_assert(kNumParams <= 32, "one bit per parameter");
    ParameterChange slots[kCapacity] = {};
    std::atomic<std::uint32_t> writeCount{0};
    std::atomic<std::uint32_t> readCount{0};
    std::atomic<std::uint32_t> missed{0};
};
