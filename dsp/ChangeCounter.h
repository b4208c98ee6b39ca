// Counts changes of the shared settings, so that the audio thread learns with one load
// per frame whether it must take a fresh copy. GCC's atomic built-ins instead of
// std::atomic: the counter is also read by code built for another instruction set,
// which must not share inline library functions with the rest of the program.
#pragma once

#include <cstdint>

class ChangeCounter {
public:
    // After the changed values are stored.
    void bump() { __atomic_fetch_add(&count, 1u, __ATOMIC_RELEASE); }
    // Before the values are read.
    std::uint32_t read() const { return __atomic_load_n(&count, __ATOMIC_ACQUIRE); }
    const std::uint32_t* address() const { return &count; }

private:
    std::uint32_t count = 0;
};
