// Reference-counted root of views, images, drawing surfaces and drop data. Objects
// start with one reference held by their creator and are always ended by release().
#pragma once

#include <cstdint>

class CRefObject {
public:
    CRefObject() = default;
    CRefObject(const CRefObject&) = delete;
    CRefObject& operator=(const CRefObject&) = delete;

    virtual ~CRefObject() = default;
    virtual void release() {
        if (--refCount == 0) delete this;
    }
    virtual void retain() { ++refCount; }

    std::int32_t getRefCount() const { return refCount; }

private:
    std::int32_t refCount = 1;
};
