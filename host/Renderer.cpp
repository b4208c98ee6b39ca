#include "host/Renderer.h"

#include <algorithm>

RenderResult renderThrough(HostedPlugin& plugin, AudioReader& reader, AudioWriter& writer,
                           MidiSchedule& midi, const RenderPlan& plan,
                           const std::function<void(double)>& progress) {
    const int fileChannels = reader.format().channels;
    const int inputs = plugin.inputCount();
    const int outputs = plugin.outputCount();
    const int block = plan.blockSize;
    const double totalFrames = static_cast<double>(reader.format().frames + plan.tailFrames);

    std::vector<float> fileBlock(static_cast<std::size_t>(block) * fileChannels);
    std::vector<float> outputBlock(static_cast<std::size_t>(block) * outputs);
    std::vector<std::vector<float>> inputBuffers(inputs, std::vector<float>(block));
    std::vector<std::vector<float>> outputBuffers(outputs, std::vector<float>(block));
    std::vector<float*> inputPointers, outputPointers;
    for (auto& buffer : inputBuffers) inputPointers.push_back(buffer.data());
    for (auto& buffer : outputBuffers) outputPointers.push_back(buffer.data());

    RenderResult result{SignalStats(fileChannels), SignalStats(outputs)};
    std::int64_t position = 0;
    std::int64_t tailLeft = plan.tailFrames;
    bool inputEnded = false;
    // Reported on resume; some plug-ins know it only once audio flows.
    std::int64_t latency = std::max<int32>(0, plugin.latency());
    std::int64_t toDrop = plan.compensateLatency ? latency : 0;
    if (plan.compensateLatency) tailLeft += latency;
    for (;;) {
        std::int64_t frames = inputEnded ? 0 : reader.read(fileBlock.data(), block);
        if (frames > 0) {
            result.input.add(fileBlock.data(), frames);
        } else {
            inputEnded = true;
            frames = std::min<std::int64_t>(block, tailLeft);
            if (frames <= 0) break;
            tailLeft -= frames;
            std::fill(fileBlock.begin(), fileBlock.end(), 0.0f);
        }

        for (int input = 0; input < inputs; ++input) {
            const int source = plan.inputSources[input];
            for (std::int64_t frame = 0; frame < frames; ++frame)
                inputBuffers[input][frame] = source < 0 ? 0.0f : fileBlock[frame * fileChannels + source];
        }
        const int32 blockFrames = static_cast<int32>(frames);
        if (VstEvents* events = midi.eventsFor(position, blockFrames)) plugin.sendMidi(events);
        plugin.process(inputPointers.data(), outputPointers.data(), blockFrames);
        if (position == 0) {
            const std::int64_t reported = std::max<int32>(0, plugin.latency());
            if (plan.compensateLatency) {
                toDrop += reported - latency;
                tailLeft += reported - latency;
            }
            latency = reported;
        }

        const std::int64_t dropped = std::min(toDrop, frames);
        toDrop -= dropped;
        for (std::int64_t frame = dropped; frame < frames; ++frame)
            for (int output = 0; output < outputs; ++output)
                outputBlock[(frame - dropped) * outputs + output] = outputBuffers[output][frame];
        result.output.add(outputBlock.data(), frames - dropped);
        writer.write(outputBlock.data(), frames - dropped);

        position += frames;
        if (progress && totalFrames > 0) progress(std::min(1.0, position / totalFrames));
    }
    result.latency = latency;
    return result;
}
