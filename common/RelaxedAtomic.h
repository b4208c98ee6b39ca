// A single 32-bit value shared between the host's threads. Readers may see an older
// value for one step, never a torn one; nothing is ordered against anything else.
#pragma once

#include <atomic>

template <typename T>
class RelaxedAtomic {
public:
    RelaxedAtomic(T initial = T()) : value(initial) {}
    RelaxedAtomic(const RelaxedAtomic&) = delete;
    RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

    T load() const { return value.load(std::memory_order_relaxed); }
    void store(T newValue) { value.store(newValue, std::memory_order_relaxed); }

private:
    static_assert(sizeof(T) <= 4, "only single 32-bit values cross threads");
    std::atomic<T> value;
};
