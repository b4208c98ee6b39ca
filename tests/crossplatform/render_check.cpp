// Renders a fixed set of cases through a plug-in library and writes every output sample,
// so that the Linux and the Windows build can be compared bit for bit:
//   quorvane-render-check render <plug-in library> <output file>
//   quorvane-render-check compare <output file> <output file>
// Cases: the sixteen programs at two sample rates, with half-power off and on, the
// parameters moving in the second half of each, through both audio entries. The input
// is made with integer and basic floating-point arithmetic only, which IEEE arithmetic
// gives identically everywhere.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "vst2/vst2.h"
#include "tests/support/LibraryLoader.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr int kChannels = 2;
constexpr int kPrograms = 16;
const float kSampleRates[] = {44100.0f, 96000.0f};
// Block sizes cycle through these, so block edges fall everywhere.
const int kBlockSizes[] = {512, 1, 300, 64, 4096, 7};

struct Case {
    bool halfPower;
    float sampleRate;
    int program;
    int frames() const { return static_cast<int>(sampleRate) / 4; }
};

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (bool halfPower : {false, true})
        for (float rate : kSampleRates)
            for (int program = 0; program < kPrograms; ++program)
                cases.push_back(Case{halfPower, rate, program});
    return cases;
}

// Noise and a saw in bursts of changing loudness, some of them hot enough to drive the
// output stage hard.
std::vector<float> makeInput(int channel, int frames, float sampleRate) {
    std::vector<float> samples(static_cast<size_t>(frames));
    std::uint32_t state = 12345u + static_cast<std::uint32_t>(channel) * 7919u;
    const int burst = static_cast<int>(sampleRate) / 20;
    const double levels[] = {0.5, 0.02, 1.0, 0.0, 2.5, 0.1};
    const int period = 97 + 31 * channel;
    for (int n = 0; n < frames; ++n) {
        state = state * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(state >> 8) - 8388608.0) / 8388608.0;
        const double saw = static_cast<double>(n % period) / (period / 2.0) - 1.0;
        const double level = levels[(n / burst) % 6];
        samples[static_cast<size_t>(n)] = static_cast<float>(level * (0.3 * noise + 0.7 * saw));
    }
    return samples;
}

intptr VSTCALL answeringHost(AEffect*, int32 opcode, int32, intptr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

typedef AEffect* (VSTCALL* EntryProc)(audioMasterCallback);

bool renderCase(EntryProc entry, const Case& c, std::FILE* out) {
    AEffect* effect = entry(answeringHost);
    if (!effect) return false;
    auto dispatch = [effect](int32 opcode, intptr value, float opt) {
        return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
    };
    dispatch(effSetSampleRate, 0, c.sampleRate);
    dispatch(effSetBlockSize, 4096, 0.0f);
    dispatch(effSetProgram, c.program, 0.0f);
    dispatch(effMainsChanged, 1, 0.0f);

    const int frames = c.frames();
    std::vector<float> input[kChannels], output[kChannels];
    // Odd programs go through the accumulating entry, into outputs that already hold sound.
    const bool accumulating = c.program % 2 == 1;
    for (int ch = 0; ch < kChannels; ++ch) {
        input[ch] = makeInput(ch, frames, c.sampleRate);
        output[ch].assign(static_cast<size_t>(frames), 0.0f);
        if (accumulating)
            for (int n = 0; n < frames; ++n) output[ch][n] = 0.125f * input[ch][n];
    }
    int done = 0;
    for (int block = 0; done < frames; ++block) {
        // The second half also moves the parameters, one per block, over values of 0..1,
        // so the engine quantities are recomputed from many more values than the programs'.
        if (done >= frames / 2)
            effect->setParameter(effect, block % 9, static_cast<float>((block * 7919) % 1001) / 1000.0f);
        const int size = std::min(kBlockSizes[block % 6], frames - done);
        float* in[kChannels];
        float* outPtr[kChannels];
        for (int ch = 0; ch < kChannels; ++ch) {
            in[ch] = input[ch].data() + done;
            outPtr[ch] = output[ch].data() + done;
        }
        (accumulating ? effect->process : effect->processReplacing)(effect, in, outPtr, size);
        done += size;
    }
    dispatch(effMainsChanged, 0, 0.0f);
    dispatch(effClose, 0, 0.0f);

    // Frame by frame, channels interleaved, in the machine's float layout (both builds are
    // little-endian IEEE).
    std::vector<float> interleaved(static_cast<size_t>(frames) * kChannels);
    for (int n = 0; n < frames; ++n)
        for (int ch = 0; ch < kChannels; ++ch)
            interleaved[static_cast<size_t>(n) * kChannels + ch] = output[ch][static_cast<size_t>(n)];
    return std::fwrite(interleaved.data(), sizeof(float), interleaved.size(), out) ==
           interleaved.size();
}

int render(const std::string& library, const std::string& outputPath) {
    std::FILE* out = std::fopen(outputPath.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", outputPath.c_str());
        return 2;
    }
    const std::string fileName = std::filesystem::path(library).filename().string();
    bool ok = true;
    for (bool halfPower : {false, true}) {
        // Half-power comes from the configuration file beside the library.
        const std::string dir = makeScratchDirectory("quorvane-render-check");
        std::filesystem::copy_file(library, dir + "/" + fileName);
        writeWholeFile(dir + "/Quorvane.ini", halfPower ? "NUMCHANNELS 2\nHALFPOWER\n" : "NUMCHANNELS 2\n");
        void* handle = loadLibraryFile(dir + "/" + fileName);
        EntryProc entry = handle ? reinterpret_cast<EntryProc>(libraryExport(handle, "main")) : nullptr;
        if (!entry) {
            std::fprintf(stderr, "cannot load %s\n", library.c_str());
            ok = false;
        }
        for (const Case& c : allCases()) {
            if (!ok || c.halfPower != halfPower) continue;
            if (!renderCase(entry, c, out)) {
                std::fprintf(stderr, "no instance or write failed: program %d at %g Hz%s\n",
                             c.program, c.sampleRate, halfPower ? ", half-power" : "");
                ok = false;
            }
        }
        if (handle) unloadLibraryFile(handle);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    ok = std::fclose(out) == 0 && ok;
    return ok ? 0 : 2;
}

int compare(const std::string& firstPath, const std::string& secondPath) {
    const std::string first = readWholeFile(firstPath);
    const std::string second = readWholeFile(secondPath);
    size_t expected = 0;
    for (const Case& c : allCases()) expected += static_cast<size_t>(c.frames()) * kChannels * sizeof(float);
    if (first.size() != expected || second.size() != expected) {
        std::printf("sizes %zu and %zu, expected %zu bytes\n", first.size(), second.size(), expected);
        return 1;
    }
    size_t offset = 0, differing = 0, nonzero = 0;
    for (const Case& c : allCases()) {
        const size_t count = static_cast<size_t>(c.frames()) * kChannels;
        for (size_t i = 0; i < count; ++i, offset += sizeof(float)) {
            float a, b;
            std::memcpy(&a, first.data() + offset, sizeof a);
            std::memcpy(&b, second.data() + offset, sizeof b);
            if (a != 0.0f) ++nonzero;
            if (std::memcmp(&a, &b, sizeof a) == 0) continue;
            if (differing++ < 10)
                std::printf("differ: program %d at %g Hz%s, frame %zu channel %zu: %.9g and %.9g\n",
                            c.program, c.sampleRate, c.halfPower ? ", half-power" : "",
                            i / kChannels, i % kChannels, a, b);
        }
    }
    const size_t total = expected / sizeof(float);
    std::printf("%zu of %zu samples differ (%zu samples non-zero)\n", differing, total, nonzero);
    // Equal silence would prove nothing.
    if (nonzero < total / 2) {
        std::printf("most of the output is silent: the plug-in did not process\n");
        return 1;
    }
    return differing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "render") == 0) return render(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "compare") == 0) return compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s render <plug-in library> <output file>\n"
                         "       %s compare <output file> <output file>\n", argv[0], argv[0]);
    return 2;
}
