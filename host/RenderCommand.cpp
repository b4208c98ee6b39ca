#include "host/RenderCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <vector>

#include "host/ChannelRouting.h"
#include "host/EditorCommands.h"
#include "host/ExitCode.h"
#include "host/OpenPlugin.h"
#include "host/PluginLoader.h"
#include "host/PluginSettings.h"
#include "host/Report.h"
#include "host/platform/HostEnvironment.h"
#include "host/validate/Validator.h"

namespace {

// Files shorter than this render without a progress bar.
constexpr double kProgressMinimumSeconds = 5.0;

SampleEncoding chooseEncoding(const RenderOptions& options, const AudioFormat& input) {
    if (options.encoding) return *options.encoding;
    if (input.encodingKnown && containerHolds(options.outputPath, input.encoding)) return input.encoding;
    return SampleEncoding::Pcm24;
}

void printSummary(HostedPlugin& plugin, const RenderOptions& options, const AudioFormat& input,
                  SampleEncoding encoding, const RenderResult& result, double elapsedSeconds, std::ostream& out) {
    RenderReport report;
    report.pluginName = plugin.effectName();
    if (report.pluginName.empty()) report.pluginName = plugin.path();
    if (options.program) {
        report.program = plugin.currentProgram();
        report.programName = plugin.programName(report.program);
    }
    report.inputPath = options.inputPath;
    report.outputPath = options.outputPath;
    report.inputFormat = input;
    report.outputEncoding = encoding;
    report.result = &result;
    report.elapsedSeconds = elapsedSeconds;
    report.automationNotices = plugin.automationNotices();
    report.latencyCompensated = options.compensateLatency;
    out << (options.brief ? formatBriefSummary(report) : formatSummary(report));
}

// Some plug-ins report their latency only once audio flows; one silent block tells it.
void processSilentBlock(HostedPlugin& plugin, int frames) {
    const int channels = std::max({plugin.inputCount(), plugin.outputCount(), 1});
    std::vector<std::vector<float>> inputs(channels, std::vector<float>(frames)), outputs = inputs;
    std::vector<float*> inputPointers, outputPointers;
    for (int channel = 0; channel < channels; ++channel) {
        inputPointers.push_back(inputs[channel].data());
        outputPointers.push_back(outputs[channel].data());
    }
    plugin.start();
    plugin.process(inputPointers.data(), outputPointers.data(), frames);
    plugin.stop();
}

void listPlugin(const RenderOptions& options, std::ostream& out) {
    const std::unique_ptr<HostedPlugin> plugin = openPlugin(options.pluginPath, {options.pluginId, 0});
    plugin->configure(44100.0f, options.blockSize);
    applySettings(*plugin, options);
    processSilentBlock(*plugin, options.blockSize);
    out << describePlugin(*plugin);
}

ExitCode render(const RenderOptions& options, std::ostream& out, std::ostream& err) {
    AudioReader reader(options.inputPath);
    const AudioFormat& input = reader.format();
    const double rate = input.sampleRate;

    const std::unique_ptr<HostedPlugin> loaded = openPlugin(options.pluginPath, {options.pluginId, input.channels});
    HostedPlugin& plugin = *loaded;
    plugin.configure(static_cast<float>(rate), options.blockSize);
    applySettings(plugin, options);

    RenderPlan plan;
    plan.blockSize = options.blockSize;
    plan.tailFrames = static_cast<std::int64_t>(std::llround(options.tailSeconds * rate));
    plan.compensateLatency = options.compensateLatency;
    plan.inputSources = routeChannels(input.channels, plugin.inputCount(), options.dropChannels);
    if (plugin.outputCount() < 1)
        throw HostError(ExitCode::ChannelMismatch, "the plug-in has no outputs");

    const SampleEncoding encoding = chooseEncoding(options, input);
    AudioWriter writer(options.outputPath, input.sampleRate, plugin.outputCount(), encoding);

    MidiSchedule midi(options.midi, rate);
    const std::int64_t totalFrames = input.frames + plan.tailFrames;
    if (const int late = midi.countFrom(totalFrames))
        if (!options.quiet) err << "warning: " << late << " MIDI event(s) lie after the end and are not sent\n";

    const bool showProgress = !options.quiet && standardErrorIsTerminal() &&
                              totalFrames / rate > kProgressMinimumSeconds;
    ProgressBar bar(err);
    const auto started = std::chrono::steady_clock::now();
    plugin.start();
    const RenderResult result = renderThrough(plugin, reader, writer, midi, plan, [&](double fraction) {
        if (showProgress) bar.update(fraction);
    });
    plugin.stop();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    bar.finish();

    if (const std::int64_t bad = result.output.nonFiniteSamples()) {
        const std::string where = std::to_string(bad) + " NaN or infinite output sample(s), the first at " +
                                  std::to_string(result.output.firstNonFiniteFrame() / rate) + " s";
        if (!options.allowNonFinite)
            throw HostError(ExitCode::NonFiniteOutput,
                            "the plug-in wrote " + where + "; no output written (use --allow-nonfinite)");
        if (!options.quiet) err << "warning: the plug-in wrote " << where << "\n";
    }
    if (encoding != SampleEncoding::Float && result.output.overallPeak() > 1.0 && !options.quiet)
        err << "warning: the output goes above full scale and is clipped in the "
            << sampleEncodingName(encoding) << " file\n";
    writer.commit();

    if (!options.quiet) printSummary(plugin, options, input, encoding, result, elapsed.count(), out);
    // A damaged or cut file reads short without an error; the user must not take the
    // render for the whole file.
    if (result.input.frames() >= input.promisedFrames) return ExitCode::Success;
    if (!options.quiet || !options.allowShortInput)
        err << "warning: " << options.inputPath << " ended after " << result.input.frames() << " of the "
            << input.promisedFrames << " frames its header promises; the output holds what was read"
            << (options.allowShortInput ? "" : " (exit code 19; see --allow-short-input)") << "\n";
    return options.allowShortInput ? ExitCode::Success : ExitCode::ShortInput;
}

ExitCode validate(const RenderOptions& options, std::ostream& out) {
    ValidationSettings settings;
    settings.pluginPath = resolveAnyPluginPath(options.pluginPath);
    settings.pluginId = options.pluginId;
    settings.level = options.level;
    settings.seed = options.seed;
    const ValidationDisplay display = options.brief     ? ValidationDisplay::OneLine
                                      : options.quiet   ? ValidationDisplay::FailuresOnly
                                      : options.verbose ? ValidationDisplay::Verbose
                                                        : ValidationDisplay::Full;
    std::vector<CheckOutcome> outcomes;
    const bool passed = runValidation(settings, display, out, outcomes);
    if (!options.reportPath.empty()) {
        std::ofstream report(options.reportPath);
        report << validationReportJson(settings, outcomes);
        if (!report.flush()) throw HostError(ExitCode::OutputNotWritable, "cannot write " + options.reportPath);
    }
    return passed ? ExitCode::Success : ExitCode::ValidationFailed;
}

}  // namespace

int runRenderTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        const RenderOptions options = parseCommandLine(arguments);
        if (options.help) out << helpText();
        else if (options.validate) return static_cast<int>(validate(options, out));
        else if (options.list) listPlugin(options, out);
        else if (!options.snapshotPath.empty()) snapshotEditor(options, out);
        else if (options.edit) editInWindow(options, out);
        else return static_cast<int>(render(options, out, err));
        return static_cast<int>(ExitCode::Success);
    } catch (const HostError& error) {
        err << "quorvane-render: " << error.what() << "\n";
        return static_cast<int>(error.code);
    } catch (const std::exception& error) {
        err << "quorvane-render: " << error.what() << "\n";
        return static_cast<int>(ExitCode::Failure);
    }
}
