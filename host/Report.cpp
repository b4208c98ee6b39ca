#include "host/Report.h"

#include <algorithm>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

// "  12.3x realtime"; nothing when there was no audio to time.
std::string realtimeText(const RenderReport& report) {
    const double audioSeconds =
        static_cast<double>(report.result->output.frames()) / report.inputFormat.sampleRate;
    if (audioSeconds <= 0.0 || report.elapsedSeconds <= 0.0) return "";
    return format("%6.1fx realtime", audioSeconds / report.elapsedSeconds);
}

std::string channelsText(int channels) { return std::to_string(channels) + (channels == 1 ? " channel" : " channels"); }

std::string levelColumn(const SignalStats& stats, int channel) {
    if (channel >= stats.channels()) return format("%-24s", "");
    return format("%-12s%-12s", formatDecibels(stats.peak(channel)).c_str(),
                  formatDecibels(stats.rms(channel)).c_str());
}

}  // namespace

std::string formatDecibels(double level) {
    if (!(level > 0.0)) return "-inf";
    return format("%.1f", 20.0 * std::log10(level));
}

std::string describePlugin(HostedPlugin& plugin) {
    std::ostringstream out;
    out << plugin.effectName() << "\n" << plugin.identityLines();
    out << "parameters (" << plugin.parameterCount() << "):\n";
    for (int32 index = 0; index < plugin.parameterCount(); ++index)
        out << format("  %3d  %-16s %9.6f  %s %s\n", index, plugin.parameterName(index).c_str(),
                      static_cast<double>(plugin.parameter(index)),
                      plugin.parameterDisplay(index).c_str(), plugin.parameterLabel(index).c_str());

    if (plugin.programCount() == 0 && plugin.currentProgram() < 0) return out.str();  // a format without programs
    out << "programs (" << plugin.programCount() << "), current " << plugin.currentProgram() << ":\n";
    for (int32 program = 0; program < plugin.programCount(); ++program)
        out << format("  %3d  %s\n", program, plugin.programName(program).c_str());
    return out.str();
}

std::string formatSummary(const RenderReport& report) {
    const RenderResult& result = *report.result;
    const double rate = report.inputFormat.sampleRate;
    std::ostringstream out;
    out << report.pluginName;
    if (report.program >= 0) out << ", program " << report.program << " \"" << report.programName << "\"";
    out << "\n";
    out << format("  input:  %s (%d Hz, %s, %.3f s)\n", report.inputPath.c_str(), report.inputFormat.sampleRate,
                  channelsText(result.input.channels()).c_str(), result.input.frames() / rate);
    out << format("  output: %s (%d Hz, %s, %.3f s, %s)\n", report.outputPath.c_str(), report.inputFormat.sampleRate,
                  channelsText(result.output.channels()).c_str(), result.output.frames() / rate,
                  sampleEncodingName(report.outputEncoding));
    out << format("  %-9s%-12s%-12s%-12s%s\n", "channel", "in peak", "in RMS", "out peak", "out RMS");
    const int rows = std::max(result.input.channels(), result.output.channels());
    for (int channel = 0; channel < rows; ++channel) {
        std::string row = format("  %-9d", channel + 1) + levelColumn(result.input, channel) +
                          levelColumn(result.output, channel);
        row.erase(row.find_last_not_of(' ') + 1);
        out << row << "\n";
    }
    out << "  (levels in dBFS)\n";
    if (result.latency > 0)
        out << format("  latency: %lld frames (%.3f ms), %s\n", static_cast<long long>(result.latency),
                      1e3 * result.latency / rate,
                      report.latencyCompensated ? "compensated" : "not compensated: the output is that late");
    if (report.automationNotices)
        out << "  automation: " << report.automationNotices << " notice(s) from the plug-in\n";
    const std::string realtime = realtimeText(report);
    out << format("  time:   %.3f s", report.elapsedSeconds)
        << (realtime.empty() ? "" : ", " + realtime.substr(realtime.find_first_not_of(' '))) << "\n";
    return out.str();
}

std::string formatBriefSummary(const RenderReport& report) {
    const RenderResult& result = *report.result;
    const std::string name = report.program < 0 ? report.pluginName
                             : report.programName.empty() ? "program " + std::to_string(report.program)
                                                          : report.programName;
    return format("%-24s in peak %6s RMS %6s dBFS   out peak %6s RMS %6s dBFS   ", name.c_str(),
                  formatDecibels(result.input.overallPeak()).c_str(), formatDecibels(result.input.overallRms()).c_str(),
                  formatDecibels(result.output.overallPeak()).c_str(),
                  formatDecibels(result.output.overallRms()).c_str()) +
           (realtimeText(report).empty() ? "     no audio" : realtimeText(report)) + "\n";
}

void ProgressBar::update(double fraction) {
    constexpr int kWidth = 40;
    const int percent = static_cast<int>(fraction * 100.0);
    if (percent == shownPercent) return;
    shownPercent = percent;
    const int filled = percent * kWidth / 100;
    out << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
        << format("%3d%%", percent) << std::flush;
}

void ProgressBar::finish() {
    // Wipes the bar, so what follows starts on a clean line.
    if (shownPercent >= 0) out << "\r" << std::string(48, ' ') << "\r" << std::flush;
}
