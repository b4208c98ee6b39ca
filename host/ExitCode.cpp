#include "host/ExitCode.h"

#include <cstdio>

namespace {

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

constexpr ExitCodeMeaning kMeanings[] = {
    {ExitCode::Success, "success"},
    {ExitCode::Failure, "unexpected failure (out of memory, write error while rendering)"},
    {ExitCode::Usage, "bad command line"},
    {ExitCode::InputUnreadable, "input file missing or unreadable"},
    {ExitCode::UnsupportedFormat, "unsupported audio format (input or output)"},
    {ExitCode::OutputNotWritable, "output file not writable"},
    {ExitCode::PluginNotFound, "plug-in not found"},
    {ExitCode::PluginNotLoadable, "plug-in file could not be loaded as a library"},
    {ExitCode::NoEntryPoint, "not a VST 2 plug-in: no VSTPluginMain or main entry point"},
    {ExitCode::WrongMagic, "not a VST 2 plug-in: the record has the wrong magic number"},
    {ExitCode::NoInstance, "not a VST 2 plug-in: the entry point returned no instance"},
    {ExitCode::UnknownProgram, "unknown program number or name"},
    {ExitCode::UnknownParameter, "unknown parameter index or name"},
    {ExitCode::ValueOutOfRange, "parameter value outside 0..1 (see --allow-out-of-range)"},
    {ExitCode::ChannelMismatch, "more file channels than plug-in inputs (see --drop-channels), or no outputs"},
    {ExitCode::NonFiniteOutput, "the plug-in wrote NaN or infinity (see --allow-nonfinite)"},
    {ExitCode::ValidationFailed, "--validate: at least one check failed"},
    {ExitCode::NoEditorSnapshot, "--snapshot: the plug-in cannot draw its editor without a window"},
    {ExitCode::NoEditorWindow, "--edit: no display, or the plug-in opened no editor"},
    {ExitCode::ShortInput, "the input ended before the frames its header promises; the output holds what\n"
                           "      was read (see --allow-short-input)"},
};

}  // namespace

std::string exitCodeTable() {
    std::string table;
    for (const ExitCodeMeaning& entry : kMeanings) {
        char line[256];
        std::snprintf(line, sizeof line, "  %2d  %s\n", static_cast<int>(entry.code), entry.meaning);
        table += line;
    }
    return table;
}
