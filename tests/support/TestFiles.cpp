#include "tests/support/TestFiles.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

std::string makeScratchDirectory(const char* prefix) {
    static std::mt19937_64 random(static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device()()));
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path candidate =
            base / (std::string(prefix) + "-" + std::to_string(random() % 1000000000ull));
        if (std::filesystem::create_directory(candidate)) return candidate.string();
    }
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string withPlatformLineEnds(const std::string& text) {
#ifdef _WIN32
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
#else
    return text;
#endif
}
