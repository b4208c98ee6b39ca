// Values handed from one thread to another: one writer, one reader, fixed capacity, no
// lock and no allocation, so either side may be the audio thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

template <typename T, std::size_t Capacity>
class SingleReaderQueue {
public:
    // False when full: the value is dropped.
    bool push(const T& value) {
        const std::size_t tail = written.load(std::memory_order_relaxed);
        if (tail - read.load(std::memory_order_acquire) == Capacity) return false;
        slots[tail % Capacity] = value;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }
    // Free slots as the writer sees them: at least this many pushes will succeed.
    std::size_t room() const {
        return Capacity - (written.load(std::memory_order_relaxed) - read.load(std::memory_order_acquire));
    }
    bool pop(T& value) {
        const std::size_t head = read.load(std::memory_order_relaxed);
        if (head == written.load(std::memory_order_acquire)) return false;
        value = slots[head % Capacity];
        read.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, Capacity> slots{};
    std::atomic<std::size_t> written{0}, read{0};
};
