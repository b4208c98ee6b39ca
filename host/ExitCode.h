// The render tool's exit codes: one per kind of failure, so scripts can tell them apart.
#pragma once

#include <stdexcept>
#include <string>

enum class ExitCode : int {
    Success = 0,
    Failure = 1,
    Usage = 2,
    InputUnreadable = 3,
    UnsupportedFormat = 4,
    OutputNotWritable = 5,
    PluginNotFound = 6,
    PluginNotLoadable = 7,
    NoEntryPoint = 8,
    WrongMagic = 9,
    NoInstance = 10,
    UnknownProgram = 11,
    UnknownParameter = 12,
    ValueOutOfRange = 13,
    ChannelMismatch = 14,
    NonFiniteOutput = 15,
    ValidationFailed = 16,
    NoEditorSnapshot = 17,
    NoEditorWindow = 18,
    ShortInput = 19,
};

// One line per code, "  N  meaning", for the help text.
std::string exitCodeTable();

// A failure that ends the run with its exit code; the message says what went wrong.
class HostError : public std::runtime_error {
public:
    HostError(ExitCode exitCode, const std::string& message)
        : std::runtime_error(message), code(exitCode) {}
    ExitCode code;
};
