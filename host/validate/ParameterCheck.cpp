// Check 2: every program and parameter as a host's generic editor sees them: names and
// display texts read into guarded buffers, values set and read back, and values at and
// just beyond the ends of 0..1.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "host/OpenPlugin.h"
#include "host/PluginInstance.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

// The buffer a careful host passes for short texts, larger than the nominal size because
// many plug-ins write past it; and guard bytes on both sides of it.
constexpr std::size_t kTextBuffer = 64;
constexpr std::size_t kGuard = 1024;
constexpr unsigned char kGuardByte = 0xA5;
constexpr float kReadBackTolerance = 1e-3f;

struct TextQuery {
    int32 opcode;
    std::size_t nominal;  // the size the interface promises a plug-in
    const char* what;
};

// Nominal sizes in characters, without the terminator.
constexpr TextQuery kParameterName = {effGetParamName, 8, "name"};
constexpr TextQuery kParameterLabel = {effGetParamLabel, 8, "label"};
constexpr TextQuery kParameterDisplay = {effGetParamDisplay, 8, "display text"};
constexpr TextQuery kProgramName = {effGetProgramName, 24, "name"};

class TextReader {
public:
    TextReader(HostedPlugin& instance, CheckLog& checkLog)
        : plugin(instance), vst2(dynamic_cast<PluginInstance*>(&instance)), log(checkLog) {}

    // The text the plug-in writes, with every fault in how it writes it logged. Formats
    // other than VST 2 fill buffers of the host's size, so only VST 2 texts are guarded.
    std::string read(const TextQuery& query, int32 index, const std::string& subject) {
        if (!vst2) return textOf(query, index);
        std::memset(area, kGuardByte, sizeof area);
        char* buffer = reinterpret_cast<char*>(area + kGuard);
        vst2->dispatch(query.opcode, index, 0, buffer);
        const std::string about = subject + " " + query.what;
        for (std::size_t i = 0; i < kGuard; ++i) {
            if (area[i] != kGuardByte) {
                log.fail(about + " wrote before the start of its buffer");
                break;
            }
        }
        const void* end = std::memchr(buffer, '\0', kTextBuffer);
        bool pastEnd = false;
        for (std::size_t i = kGuard + kTextBuffer; i < sizeof area; ++i) pastEnd = pastEnd || area[i] != kGuardByte;
        wroteNothing = !end && !pastEnd && std::all_of(buffer, buffer + kTextBuffer, [](char c) {
            return static_cast<unsigned char>(c) == kGuardByte;
        });
        if (wroteNothing) {
            log.warn(about + ": the plug-in wrote no text");
            return "";
        }
        if (!end || pastEnd) {
            log.fail(about + " is longer than the " + std::to_string(kTextBuffer) + "-byte buffer given (nominal " +
                     std::to_string(query.nominal) + ")");
            return std::string(buffer, kTextBuffer);
        }
        const std::size_t length = static_cast<const char*>(end) - buffer;
        // Zero padding up to the nominal size is fine; anything written after that is not.
        for (std::size_t i = std::max(length, query.nominal) + 1; i < kTextBuffer; ++i) {
            if (area[kGuard + i] != kGuardByte) {
                log.fail(about + " wrote past its terminator, at byte " + std::to_string(i) + " of " +
                         std::to_string(kTextBuffer));
                break;
            }
        }
        // Once per text: a display text that is too long usually is so at many values.
        if (length > query.nominal && warned.insert(about).second)
            log.warn(about + " '" + std::string(buffer, length) + "' has " + std::to_string(length) +
                     " characters, more than the nominal " + std::to_string(query.nominal));
        return std::string(buffer, length);
    }
    // True when the last read left the buffer untouched: no text, but no empty one either.
    bool wroteNothing = false;

private:
    std::string textOf(const TextQuery& query, int32 index) {
        wroteNothing = false;
        if (query.opcode == effGetParamName) return plugin.parameterName(index);
        if (query.opcode == effGetParamLabel) return plugin.parameterLabel(index);
        if (query.opcode == effGetParamDisplay) return plugin.parameterDisplay(index);
        return plugin.programName(plugin.currentProgram());
    }

    HostedPlugin& plugin;
    PluginInstance* vst2;
    CheckLog& log;
    std::set<std::string> warned;
    unsigned char area[kGuard + kTextBuffer + kGuard];
};

std::string parameterSubject(int32 index) { return "parameter " + std::to_string(index); }

void checkPrograms(HostedPlugin& plugin, TextReader& texts, CheckLog& log) {
    const int32 count = plugin.programCount();
    for (int32 program = 0; program < count; ++program) {
        plugin.setProgram(program);
        const std::string subject = "program " + std::to_string(program);
        if (plugin.currentProgram() != program)
            log.fail(subject + " selected, but the plug-in reports program " + std::to_string(plugin.currentProgram()));
        if (texts.read(kProgramName, 0, subject).empty() && !texts.wroteNothing) log.warn(subject + " has no name");
    }
    // One past the end is a host's off-by-one; it must not change anything.
    if (count > 0) {
        plugin.setProgram(count - 1);
        plugin.setProgram(count);
        if (plugin.currentProgram() != count - 1)
            log.warn("selecting program " + std::to_string(count) + ", past the last, changed the current program");
    }
}

void checkValues(HostedPlugin& plugin, TextReader& texts, CheckLog& log, const ValidationSettings& settings) {
    std::mt19937 random(settings.seed);
    std::uniform_real_distribution<float> anyValue(0.0f, 1.0f);
    const int extraValues = settings.level * 2;
    for (int32 index = 0; index < plugin.parameterCount(); ++index) {
        const std::string subject = parameterSubject(index);
        const float initial = plugin.parameter(index);
        if (!(initial >= 0.0f && initial <= 1.0f)) log.fail(subject + " starts at " + std::to_string(initial) + ", outside 0..1");
        if (texts.read(kParameterName, index, subject).empty() && !texts.wroteNothing) log.warn(subject + " has no name");
        texts.read(kParameterLabel, index, subject);

        std::vector<float> values = {0.0f, 1.0f};
        for (int i = 0; i < extraValues; ++i) values.push_back(anyValue(random));
        for (float value : values) {
            plugin.setParameter(index, value);
            const float back = plugin.parameter(index);
            if (!(back >= 0.0f && back <= 1.0f))
                log.fail(subject + " set to " + std::to_string(value) + " reads back " + std::to_string(back));
            else if (std::fabs(back - value) > kReadBackTolerance && (value == 0.0f || value == 1.0f))
                log.warn(subject + " set to " + std::to_string(value) + " reads back " + std::to_string(back));
            texts.read(kParameterDisplay, index, subject);
        }
        for (float outside : {-0.01f, 1.01f}) {
            plugin.setParameter(index, outside);
            if (!std::isfinite(plugin.parameter(index)))
                log.fail(subject + " set to " + std::to_string(outside) + " reads back a non-finite value");
            texts.read(kParameterDisplay, index, subject);
        }
        plugin.setParameter(index, initial);
    }
}

// Values just outside 0..1 on every parameter at once, then audio: hosts do send them.
void checkAudioAtOutsideValues(HostedPlugin& plugin, CheckLog& log, std::uint32_t seed) {
    constexpr int kBlock = 512;
    AudioBench bench(plugin, kBlock, seed);
    for (float outside : {-0.01f, 1.01f}) {
        markProgress("audio with every parameter at " + std::to_string(outside));
        for (int32 index = 0; index < plugin.parameterCount(); ++index) plugin.setParameter(index, outside);
        plugin.start();
        for (int block = 0; block < 8; ++block) {
            bench.fill(TestSignal::Noise, kBlock, 44100.0);
            bench.process(kBlock);
            const OutputVerdict verdict = bench.inspect(kBlock);
            if (!verdict.clean()) {
                verdict.report("with every parameter at " + std::to_string(outside) + ": ", log);
                break;
            }
        }
        plugin.stop();
    }
}

}  // namespace

void checkProgramsAndParameters(const ValidationSettings& settings, CheckLog& log) {
    const std::unique_ptr<HostedPlugin> loaded = openPlugin(settings.pluginPath, {settings.pluginId, 0});
    HostedPlugin& plugin = *loaded;
    plugin.configure(44100.0f, 512);
    TextReader texts(plugin, log);
    markProgress("programs");
    checkPrograms(plugin, texts, log);
    markProgress("parameters");
    checkValues(plugin, texts, log, settings);
    checkAudioAtOutsideValues(plugin, log, settings.seed);
    const int32 programs = plugin.programCount(), parameters = plugin.parameterCount();
    log.note(std::to_string(programs) + (programs == 1 ? " program, " : " programs, ") + std::to_string(parameters) +
             (parameters == 1 ? " parameter" : " parameters"));
}
