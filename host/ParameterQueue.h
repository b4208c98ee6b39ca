// Parameter changes handed from the thread that makes them to the audio thread, which
// takes them at the start of its next block. One writer, one reader, fixed capacity:
// nothing allocates, locks or waits.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

struct ParameterChange {
    std::int32_t index = 0;
    float value = 0.0f;  // normalised
};

class ParameterQueue {
public:
    // False when full: the change is dropped, as a host drops automation it cannot keep up with.
    bool push(const ParameterChange& change) {
        const std::size_t tail = written.load(std::memory_order_relaxed);
        if (tail - read.load(std::memory_order_acquire) == kCapacity) return false;
        slots[tail % kCapacity] = change;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }
    bool pop(ParameterChange& change) {
        const std::size_t head = read.load(std::memory_order_relaxed);
        if (head == written.load(std::memory_order_acquire)) return false;
        change = slots[head % kCapacity];
        read.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    static constexpr std::size_t kCapacity = 1024;
    std::array<ParameterChange, kCapacity> slots{};
    std::atomic<std::size_t> written{0}, read{0};
};
