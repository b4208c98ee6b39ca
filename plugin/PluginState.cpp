#include "plugin/PluginState.h"

#include <cmath>
#include <cstring>

#include "plugin/PluginDescription.h"

namespace {

constexpr char kMagic[4] = {'Q', 'V', 'S', 'T'};
constexpr std::size_t kHeaderSize = 4 + 4 + 4 + 4;  // magic, version, program, count
constexpr std::size_t kEntrySize = 4 + 4;           // id, value
// More entries than any version will have: a guard against a count read from garbage.
constexpr std::uint32_t kMaxEntries = 1024;

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

std::vector<std::uint8_t> writePluginState(const PluginSettings& settings) {
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    put32(out, kPluginStateVersion);
    put32(out, static_cast<std::uint32_t>(settings.program));
    put32(out, kNumParams);
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        put32(out, parameterDescription(i).id);
        put32(out, floatBits(settings.values[i]));
    }
    return out;
}

bool readPluginState(const std::uint8_t* bytes, std::size_t size, PluginSettings& settings) {
    if (!bytes || size < kHeaderSize || std::memcmp(bytes, kMagic, 4) != 0) return false;
    if (get32(bytes + 4) != kPluginStateVersion) return false;
    PluginSettings read;
    read.program = static_cast<std::int32_t>(get32(bytes + 8));
    const std::uint32_t count = get32(bytes + 12);
    if (read.program < 0 || read.program >= kNumPrograms || count > kMaxEntries ||
        size != kHeaderSize + count * kEntrySize)
        return false;
    bool seen[kNumParams] = {};
    for (std::uint32_t e = 0; e < count; ++e) {
        const std::uint8_t* entry = bytes + kHeaderSize + e * kEntrySize;
        const std::int32_t index = parameterIndexForId(get32(entry));
        const float value = bitsFloat(get32(entry + 4));
        if (index < 0) continue;
        if (seen[index] || !std::isfinite(value)) return false;
        seen[index] = true;
        read.values[index] = value;
    }
    for (bool s : seen)
        if (!s) return false;
    settings = read;
    return true;
}
