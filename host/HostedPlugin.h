// One loaded plug-in instance of any format, as the renderer, the listing and the
// format-neutral checks of --validate drive it. Parameters are normalised 0..1 values by
// index; programs exist only where the format has them (a count of 0 otherwise).
#pragma once

#include <cstdint>
#include <string>

#include "host/platform/CallMonitor.h"
#include "vst2/vst2.h"

class HostedPlugin {
public:
    virtual ~HostedPlugin() = default;

    virtual const std::string& path() const = 0;
    virtual std::string effectName() = 0;
    // The identity block of --list: every line after the name, each ending in "\n".
    virtual std::string identityLines() = 0;

    virtual int32 inputCount() const = 0;
    virtual int32 outputCount() const = 0;
    virtual int32 latency() = 0;  // frames

    virtual int32 parameterCount() const = 0;
    virtual std::string parameterName(int32 index) = 0;
    virtual std::string parameterLabel(int32 index) = 0;
    virtual std::string parameterDisplay(int32 index) = 0;
    virtual float parameter(int32 index) const = 0;
    // Outside processing: takes effect from the next block's first frame.
    virtual void setParameter(int32 index, float value) = 0;

    virtual int32 programCount() const = 0;
    virtual int32 currentProgram() = 0;
    virtual void setProgram(int32 index) = 0;
    virtual std::string programName(int32 index) = 0;

    // Tells the plug-in the rate and the largest block it will get; before start().
    virtual void configure(float sampleRate, int32 blockSize) = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    // MIDI for the next block, at the events' offsets; formats without MIDI ignore it.
    virtual void sendMidi(VstEvents* events) = 0;
    virtual void process(float** inputs, float** outputs, int32 frames) = 0;
    // The same with the call monitor watching the thread the plug-in processes on.
    virtual void processWatched(float** inputs, float** outputs, int32 frames) {
        watchThisThread(true);
        process(inputs, outputs, frames);
        watchThisThread(false);
    }

    // Parameter changes the plug-in reported itself (automation from its side).
    virtual std::size_t automationNotices() const = 0;
};
