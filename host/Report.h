// What the render tool prints: the plug-in listing, the summary and the progress bar.
#pragma once

#include <ostream>
#include <string>

#include "host/AudioFile.h"
#include "host/HostedPlugin.h"
#include "host/Renderer.h"

// Identity, parameters (name, value, display text, label) and programs.
std::string describePlugin(HostedPlugin& plugin);

struct RenderReport {
    std::string pluginName;
    int32 program = -1;  // -1 when no program was chosen
    std::string programName;
    std::string inputPath;
    std::string outputPath;
    AudioFormat inputFormat;
    SampleEncoding outputEncoding = SampleEncoding::Float;
    const RenderResult* result = nullptr;
    std::size_t automationNotices = 0;
    bool latencyCompensated = true;
    double elapsedSeconds = 0.0;
};

std::string formatSummary(const RenderReport& report);
// One line: name, peak and RMS in and out, realtime factor.
std::string formatBriefSummary(const RenderReport& report);
// Level as dBFS text, "-inf" for silence.
std::string formatDecibels(double level);

// A bar drawn in place on a terminal, redrawn only when it changes, wiped at the end.
class ProgressBar {
public:
    explicit ProgressBar(std::ostream& stream) : out(stream) {}
    void update(double fraction);
    void finish();

private:
    std::ostream& out;
    int shownPercent = -1;
};
