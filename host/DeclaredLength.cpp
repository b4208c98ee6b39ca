#include "host/DeclaredLength.h"

#include <cstring>
#include <fstream>

namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

std::uint32_t bigEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

std::int64_t declaredFrames(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char form[12];
    if (!file.read(reinterpret_cast<char*>(form), sizeof form)) return 0;
    const bool wave = std::memcmp(form, "RIFF", 4) == 0 && std::memcmp(form + 8, "WAVE", 4) == 0;
    const bool aiff = std::memcmp(form, "FORM", 4) == 0 &&
                      (std::memcmp(form + 8, "AIFF", 4) == 0 || std::memcmp(form + 8, "AIFC", 4) == 0);
    if (!wave && !aiff) return 0;
    std::uint32_t blockAlign = 0;
    unsigned char chunk[8];
    while (file.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        const std::uint32_t size = wave ? littleEndian(chunk + 4, 4) : bigEndian(chunk + 4, 4);
        unsigned char body[16] = {};
        const std::streampos bodyStart = file.tellg();
        file.read(reinterpret_cast<char*>(body), sizeof body);
        file.clear();
        if (wave && std::memcmp(chunk, "fmt ", 4) == 0) blockAlign = littleEndian(body + 12, 2);
        if (wave && std::memcmp(chunk, "data", 4) == 0)
            return blockAlign && size != 0xFFFFFFFFu ? size / blockAlign : 0;
        if (aiff && std::memcmp(chunk, "COMM", 4) == 0) return bigEndian(body + 2, 4);
        // Chunks are padded to an even length.
        file.seekg(bodyStart + static_cast<std::streamoff>(size + (size & 1)));
    }
    return 0;
}
