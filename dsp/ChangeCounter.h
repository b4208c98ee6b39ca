// Counts changes of the shared settings, so that the audio thread learns with one load
// per frame whether it must take a fresh copy.
#pragma once

#include <atomic>
#include <cstdint>

class ChangeCounter {
public:
    // After the changed values are stored.
    void bump() { count.fetch_add(1, std::memory_order_release); }
    // Before the values are read.
    std::uint32_t read() const { return count.load(std::memory_order_acquire); }
    const std::atomic<std::uint32_t>* address() const { return &count; }

private:
    std::atomic<std::uint32_t> count{0};
};
