// Reference-counted root of views, images, drawing surfaces and drop data. Objects
// start with one reference held by their creator and are always ended by release().
#pragma once

#include <atomic>
#include <cstdint>

class CRefObject {
public:
    CRefObject() { liveObjects().fetch_add(1, std::memory_order_relaxed); }
    CRefObject(const CRefObject&) = delete;
    CRefObject& operator=(const CRefObject&) = delete;

    virtual ~CRefObject() { liveObjects().fetch_sub(1, std::memory_order_relaxed); }
    virtual void release() {
        if (--refCount == 0) delete this;
    }
    virtual void retain() { ++refCount; }

    std::int32_t getRefCount() const { return refCount; }

    // How many exist right now in the process: a leak check for editors opened and
    // closed again. Toolkit objects are made on the user-interface thread only.
    static std::int32_t liveCount() { return liveObjects().load(std::memory_order_relaxed); }

private:
    static std::atomic<std::int32_t>& liveObjects() {
        static std::atomic<std::int32_t> count{0};
        return count;
    }

    std::int32_t refCount = 1;
};
