// Reads an image resource while it is decoded, unscrambling each byte: 0x00 and 0xFF
// pass unchanged, every other byte is complemented. The rule is its own inverse.
#pragma once

#include <cstdint>

class ResourceStream {
public:
    ResourceStream() = default;
    // Over bytes already in memory (stored, scrambled form).
    ResourceStream(const std::uint8_t* data, std::uint32_t size) : data(data), size(size) {}

    // The "ZVB" resource with this id; false when there is none.
    bool open(std::int32_t resourceId);

    // Copies n unscrambled bytes; a request of 0 bytes or one that would pass the end
    // copies nothing, leaves the position and answers false.
    bool read(void* buffer, std::uint32_t n);

    std::uint32_t getPosition() const { return position; }
    std::uint32_t getSize() const { return size; }

    static std::uint8_t unscramble(std::uint8_t b) { return (b == 0x00 || b == 0xFF) ? b : std::uint8_t(b ^ 0xFF); }

private:
    const std::uint8_t* data = nullptr;
    std::uint32_t position = 0;
    std::uint32_t size = 0;
};
