#include "host/PluginInstance.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "host/PluginLoader.h"
#include "host/platform/SharedLibrary.h"

namespace {

// Text queries get a generous buffer: many plug-ins write past the nominal 8 or 24 bytes.
constexpr std::size_t kTextBufferSize = 256;

std::string trimmed(const char* text) {
    std::string result(text);
    while (!result.empty() && result.back() == ' ') result.pop_back();
    return result;
}

std::string uniqueIdText(int32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned char c = static_cast<unsigned char>(id >> shift);
        if (!std::isprint(c)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(id));
            return hex;
        }
        text += static_cast<char>(c);
    }
    return "'" + text + "'";
}

std::string flagsText(int32 flags) {
    static const struct { int32 bit; const char* name; } kFlags[] = {
        {effFlagsHasEditor, "editor"},       {effFlagsCanMono, "mono"},
        {effFlagsCanReplacing, "replacing"}, {effFlagsProgramChunks, "chunks"},
        {effFlagsIsSynth, "synth"},
    };
    std::string text;
    for (const auto& flag : kFlags)
        if (flags & flag.bit) text += std::string(text.empty() ? "" : " ") + flag.name;
    return text.empty() ? "none" : text;
}

}  // namespace

PluginInstance::PluginInstance(const std::string& nameOrPath)
    : libraryPath(resolvePluginPath(nameOrPath)), state(new HostState) {
    LoadedEffect loaded = loadEffect(libraryPath, *state);
    library = loaded.library;
    effect = loaded.effect;
    entry = loaded.entryPoint;
    dispatch(effOpen);
}

PluginInstance::~PluginInstance() {
    stop();
    dispatch(effClose);
    closeSharedLibrary(library);
}

intptr PluginInstance::dispatch(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void PluginInstance::configure(float sampleRate, int32 blockSize) {
    state->sampleRate = sampleRate;
    state->blockSize = blockSize;
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
}

void PluginInstance::start() {
    if (running) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running = true;
}

void PluginInstance::stop() {
    if (!running) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running = false;
}

std::string PluginInstance::text(int32 opcode, int32 index, intptr value) {
    char buffer[kTextBufferSize] = {};
    dispatch(opcode, index, value, buffer);
    buffer[kTextBufferSize - 1] = '\0';
    return trimmed(buffer);
}

std::string PluginInstance::effectName() { return text(effGetEffectName); }
std::string PluginInstance::identityLines() {
    std::ostringstream out;
    out << "  file:      " << path() << "\n";
    out << "  vendor:    " << vendorName() << "\n";
    out << "  product:   " << productName() << ", version " << dispatch(effGetVendorVersion) << "\n";
    out << "  unique id: " << uniqueIdText(effect->uniqueID) << ", VST " << dispatch(effGetVstVersion) << "\n";
    out << "  channels:  " << effect->numInputs << " in, " << effect->numOutputs << " out\n";
    out << "  latency:   " << effect->initialDelay << " frames\n";
    out << "  flags:     " << flagsText(effect->flags) << "\n";
    return out.str();
}

std::string PluginInstance::vendorName() { return text(effGetVendorString); }
std::string PluginInstance::productName() { return text(effGetProductString); }

std::string PluginInstance::parameterName(int32 index) { return text(effGetParamName, index); }
std::string PluginInstance::parameterLabel(int32 index) { return text(effGetParamLabel, index); }
std::string PluginInstance::parameterDisplay(int32 index) { return text(effGetParamDisplay, index); }

float PluginInstance::parameter(int32 index) const { return effect->getParameter(effect, index); }

void PluginInstance::setParameter(int32 index, float value) {
    effect->setParameter(effect, index, value);
}

int32 PluginInstance::currentProgram() { return static_cast<int32>(dispatch(effGetProgram)); }

void PluginInstance::setProgram(int32 index) { dispatch(effSetProgram, 0, index); }

std::string PluginInstance::programName(int32 index) {
    char buffer[kTextBufferSize] = {};
    if (dispatch(effGetProgramNameIndexed, index, -1, buffer)) {
        buffer[kTextBufferSize - 1] = '\0';
        return trimmed(buffer);
    }
    // Plug-ins without indexed names only name their current program.
    const int32 current = currentProgram();
    if (index == current) return text(effGetProgramName);
    setProgram(index);
    std::string name = text(effGetProgramName);
    setProgram(current);
    return name;
}

void PluginInstance::sendMidi(VstEvents* events) { dispatch(effProcessEvents, 0, 0, events); }

void PluginInstance::process(float** inputs, float** outputs, int32 frames) {
    if ((effect->flags & effFlagsCanReplacing) && effect->processReplacing) {
        effect->processReplacing(effect, inputs, outputs, frames);
        return;
    }
    for (int32 channel = 0; channel < effect->numOutputs; ++channel)
        std::fill(outputs[channel], outputs[channel] + frames, 0.0f);
    effect->process(effect, inputs, outputs, frames);
}
