// The panel's gestures on their way from the main thread to the host's output events,
// which only process or flush may fill. One writer (the main thread), one reader
// (process or flush, never both at once), no lock and no allocation. A gesture that
// does not fit, with the host taking none for 256 events, is dropped.
#pragma once

#include <atomic>
#include <cstdint>

struct Gesture {
    enum Kind : std::uint16_t { Begin, Value, End } kind;
    std::int32_t index;
    double value;
};

class GestureQueue {
public:
    static constexpr std::uint32_t kCapacity = 256;

    bool push(const Gesture& gesture) {
        const std::uint32_t tail = writeCount.load(std::memory_order_relaxed);
        if (tail - readCount.load(std::memory_order_acquire) == kCapacity) return false;
        slots[tail % kCapacity] = gesture;
        writeCount.store(tail + 1, std::memory_order_release);
        return true;
    }

    bool pop(Gesture& gesture) {
        const std::uint32_t head = readCount.load(std::memory_order_relaxed);
        if (head == writeCount.load(std::memory_order_acquire)) return false;
        gesture = slots[head % kCapacity];
        readCount.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    Gesture slots[kCapacity] = {};
    std::atomic<std::uint32_t> writeCount{0};
    std::atomic<std::uint32_t> readCount{0};
};
