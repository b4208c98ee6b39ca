#include "host/RenderOptions.h"

#include <cmath>
#include <cstdlib>

#include "host/ExitCode.h"

namespace {

[[noreturn]] void usageError(const std::string& message) {
    throw HostError(ExitCode::Usage, message + " (see --help)");
}

double parseNumber(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(number))
        usageError("bad " + what + ": '" + text + "'");
    return number;
}

int parseInteger(const std::string& text, const std::string& what, int low, int high) {
    const double number = parseNumber(text, what);
    if (number != std::floor(number) || number < low || number > high)
        usageError(what + " must be a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + ": '" + text + "'");
    return static_cast<int>(number);
}

// "NAME=VALUE" split at the last '='.
ParameterSetting parseParameter(const std::string& text) {
    const std::string::size_type equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        usageError("--param needs INDEX=VALUE or NAME=VALUE: '" + text + "'");
    ParameterSetting setting;
    setting.parameter = text.substr(0, equals);
    setting.value = static_cast<float>(parseNumber(text.substr(equals + 1), "parameter value"));
    return setting;
}

double parseEventTime(const std::string& text, std::string::size_type colon, const char* option) {
    if (colon == std::string::npos) usageError(std::string(option) + " needs TIME:...: '" + text + "'");
    const double seconds = parseNumber(text.substr(0, colon), "event time");
    if (seconds < 0.0) usageError("event time must not be negative: '" + text + "'");
    return seconds;
}

// "TIME:CC=VALUE", a control change on MIDI channel 1.
TimedMidiMessage parseControlChange(const std::string& text) {
    const std::string::size_type colon = text.find(':');
    TimedMidiMessage message;
    message.seconds = parseEventTime(text, colon, "--cc");
    const std::string rest = text.substr(colon + 1);
    const std::string::size_type equals = rest.find('=');
    if (equals == std::string::npos) usageError("--cc needs TIME:CC=VALUE: '" + text + "'");
    message.bytes[0] = 0xB0;
    message.bytes[1] = static_cast<unsigned char>(parseInteger(rest.substr(0, equals), "controller number", 0, 127));
    message.bytes[2] = static_cast<unsigned char>(parseInteger(rest.substr(equals + 1), "controller value", 0, 127));
    return message;
}

// "TIME:VALUE", a pitch bend of 0..16383 (8192 is the centre) on MIDI channel 1.
TimedMidiMessage parsePitchBend(const std::string& text) {
    const std::string::size_type colon = text.find(':');
    TimedMidiMessage message;
    message.seconds = parseEventTime(text, colon, "--bend");
    const int bend = parseInteger(text.substr(colon + 1), "pitch bend", 0, 16383);
    message.bytes[0] = 0xE0;
    message.bytes[1] = static_cast<unsigned char>(bend & 0x7F);
    message.bytes[2] = static_cast<unsigned char>(bend >> 7);
    return message;
}

bool takesValue(const std::string& option) {
    for (const char* name : {"--program", "--param", "--block", "--tail", "--cc", "--bend", "--bits", "--level", "--seed",
                             "--report", "--snapshot", "--scale", "--plugin-id"})
        if (option == name) return true;
    return false;
}

void applyOption(RenderOptions& options, const std::string& option, const std::string& value) {
    if (option == "--program") options.program = value;
    else if (option == "--snapshot") options.snapshotPath = value;
    else if (option == "--scale") {
        options.scale = parseNumber(value, "scale");
        if (options.scale < 1.0 || options.scale > 2.0) usageError("scale must be 1 to 2: '" + value + "'");
    }
    else if (option == "--param") options.parameters.push_back(parseParameter(value));
    else if (option == "--block") options.blockSize = parseInteger(value, "block size", 1, 65536);
    else if (option == "--tail") {
        options.tailSeconds = parseNumber(value, "tail");
        if (options.tailSeconds < 0.0 || options.tailSeconds > 3600.0)
            usageError("tail must be 0 to 3600 seconds: '" + value + "'");
    } else if (option == "--cc") options.midi.push_back(parseControlChange(value));
    else if (option == "--bend") options.midi.push_back(parsePitchBend(value));
    else if (option == "--level") options.level = parseInteger(value, "level", 1, 5);
    else if (option == "--seed") options.seed = static_cast<std::uint32_t>(parseInteger(value, "seed", 0, 2147483647));
    else if (option == "--report") options.reportPath = value;
    else if (option == "--plugin-id") options.pluginId = value;
    else if (option == "--bits") {
        SampleEncoding encoding;
        if (!parseSampleEncoding(value, encoding)) usageError("--bits takes 16, 24, 32 or float: '" + value + "'");
        options.encoding = encoding;
    }
}

bool applyFlag(RenderOptions& options, const std::string& flag) {
    if (flag == "--help" || flag == "-h") options.help = true;
    else if (flag == "--list") options.list = true;
    else if (flag == "--validate") options.validate = true;
    else if (flag == "--edit") options.edit = true;
    else if (flag == "--quiet" || flag == "-q") options.quiet = true;
    else if (flag == "--brief") options.brief = true;
    else if (flag == "--verbose" || flag == "-v") options.verbose = true;
    else if (flag == "--drop-channels") options.dropChannels = true;
    else if (flag == "--allow-out-of-range") options.allowOutOfRange = true;
    else if (flag == "--allow-nonfinite") options.allowNonFinite = true;
    else if (flag == "--allow-short-input") options.allowShortInput = true;
    else if (flag == "--no-latency-compensation") options.compensateLatency = false;
    else return false;
    return true;
}

}  // namespace

RenderOptions parseCommandLine(const std::vector<std::string>& arguments) {
    RenderOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        const std::string::size_type equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (takesValue(name)) {
            if (equals != std::string::npos) applyOption(options, name, argument.substr(equals + 1));
            else if (i + 1 < arguments.size()) applyOption(options, name, arguments[++i]);
            else usageError(name + " needs a value");
        } else if (equals != std::string::npos || !applyFlag(options, argument)) {
            usageError("unknown option " + argument);
        }
    }
    if (options.help) return options;

    const bool pluginOnly = options.list || options.validate || options.edit || !options.snapshotPath.empty();
    if (int(options.list) + int(options.validate) + int(options.edit) + int(!options.snapshotPath.empty()) > 1)
        usageError("--list, --validate, --edit and --snapshot exclude each other");
    if (positional.size() != (pluginOnly ? 1 : 3))
        usageError(pluginOnly ? "--list, --validate, --edit and --snapshot take one plug-in" : "expected PLUGIN INPUT OUTPUT");
    if (options.scale != 0.0 && !options.edit && options.snapshotPath.empty())
        usageError("--scale goes with --snapshot or --edit");
    options.pluginPath = positional[0];
    if (!pluginOnly) {
        options.inputPath = positional[1];
        options.outputPath = positional[2];
    }
    if (!options.allowOutOfRange) {
        for (const ParameterSetting& setting : options.parameters)
            if (!(setting.value >= 0.0f && setting.value <= 1.0f))
                throw HostError(ExitCode::ValueOutOfRange,
                                "value for parameter " + setting.parameter + " is outside 0..1: " +
                                    std::to_string(setting.value) + " (use --allow-out-of-range)");
    }
    return options;
}

std::string helpText() {
    return "usage: quorvane-render [options] PLUGIN INPUT OUTPUT\n"
           "       quorvane-render --list [--program P] [--param X=V ...] PLUGIN\n"
           "       quorvane-render --validate [--level 1..5] [--seed N] [--report FILE.json]\n"
           "                                  [--brief | -q | -v] PLUGIN\n"
           "       quorvane-render --snapshot FILE.png [--scale S] [--program P] [--param X=V ...] PLUGIN\n"
           "       quorvane-render --edit [--scale S] [--program P] [--param X=V ...] PLUGIN\n"
           "\n"
           "Renders an audio file (WAV, AIFF or FLAC) through a VST 2 plug-in at the file's own\n"
           "sample rate. PLUGIN is a library path or a bare name looked up in $VST_PATH,\n"
           "~/.vst, /usr/local/lib/vst and /usr/lib/vst. The output's format follows its file\n"
           "name ending (.wav, .aif, .aiff, .flac). A PLUGIN path ending in .vst3 (a bundle)\n"
           "is loaded as VST3, one ending in .clap as CLAP.\n"
           "\n"
           "options:\n"
           "  --list                  show the plug-in's identity, parameters and programs\n"
           "  --snapshot FILE.png     draw the plug-in's editor without a display into a PNG\n"
           "                          (plug-ins that offer it: Quorvane)\n"
           "  --edit                  open the plug-in's editor in a window of its own and\n"
           "                          print every automation and begin/end of edit until\n"
           "                          the window is closed\n"
           "  --scale S               with --snapshot or --edit: tell the plug-in, as hosts\n"
           "                          do, to draw its editor at S (1 to 2) pixels per unit\n"
           "  --program N|NAME        select a program by number (from 0) or by name\n"
           "  --param INDEX|NAME=V    set a parameter to a value in 0..1 (repeatable,\n"
           "                          applied in order after the program)\n"
           "  --plugin-id ID          the plug-in to take from a file that holds several\n"
           "                          (CLAP; default: the one whose main ports fit the input)\n"
           "  --block N               frames per processing block (default 512)\n"
           "  --tail SECONDS          render this much silence after the input (default 0)\n"
           "  --no-latency-compensation\n"
           "                          keep the delay a plug-in reports: by default as many\n"
           "                          frames come off the start and are rendered at the end\n"
           "  --cc TIME:CC=VALUE      MIDI control change (0..127) at TIME seconds\n"
           "  --bend TIME:VALUE       MIDI pitch bend 0..16383 (centre 8192) at TIME seconds\n"
           "  --bits 16|24|32|float   output sample format (default: the input's, or 24\n"
           "                          when the output format cannot hold it)\n"
           "  --drop-channels         drop input channels the plug-in has no input for\n"
           "  --allow-out-of-range    accept parameter values outside 0..1\n"
           "  --allow-nonfinite       write the output even if it holds NaN or infinity\n"
           "  --allow-short-input     exit with 0 when the input ends before the frames its\n"
           "                          header promises (a damaged or cut file)\n"
           "  --validate              run the validation battery on the plug-in, each check in\n"
           "                          a process of its own; exit code 16 when a check fails\n"
           "  --level 1..5            how long and how randomised the checks run (default 2;\n"
           "                          3 and up count allocations and locks in process)\n"
           "  --seed N                seed of the random signals and changes (default 1)\n"
           "  --report FILE.json      write the results as JSON as well\n"
           "  -v, --verbose           with --validate: show what the plug-in printed in each check\n"
           "  --brief                 print a one-line summary\n"
           "  -q, --quiet             print nothing but errors; with --validate, only the\n"
           "                          failed checks and the count\n"
           "  -h, --help              show this text\n"
           "\n"
           "A mono file feeds every input of a multi-channel plug-in; inputs beyond a file's\n"
           "channels get silence. MIDI events go to channel 1, in the block holding TIME.\n"
           "\n"
           "exit codes:\n" +
           exitCodeTable();
}
