// The image resources compiled into the Linux library: the same scrambled bytes the
// Windows build stores as "ZVB" resources. The table is generated at build time.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    int id;
    const std::uint8_t* data;
    std::uint32_t size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;
