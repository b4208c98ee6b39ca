#include "plugin/Configuration.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "plugin/ConfigurationMessages.h"
#include "plugin/platform/ConfigFile.h"

namespace {

const char* const kMidiKeys[kNumParams] = {
    "MIDICCINTRIM",    "MIDICCMODE",      "MIDICCSTAGES",     "MIDICCCUTOFF", "MIDICCRESONANCE",
    "MIDICCENVAMOUNT", "MIDICCENVATTACK", "MIDICCENVRELEASE", "MIDICCOUTSAT",
};
const char* const kChannelsKey = "NUMCHANNELS";
const char* const kHalfPowerKey = "HALFPOWER";
const char* const kScaleKey = "SCALE";
const char* const kKnobModeKey = "KNOBMODE";

// Longest piece of a line handled at once; longer lines arrive as several pieces.
constexpr std::size_t kLinePiece = 255;

bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool equalsIgnoringCase(const char* text, std::size_t length, const char* key) {
    if (std::strlen(key) != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != key[i]) return false;
    }
    return true;
}

enum class Scan { ok, noMatch, endOfText };

// A decimal integer as "%d" reads it; numbers beyond the 32-bit range saturate.
Scan scanInt(const char*& p, int& out) {
    while (isScanSpace(*p)) ++p;
    if (!*p) return Scan::endOfText;
    const char* q = p;
    bool negative = false;
    if (*q == '+' || *q == '-') negative = *q++ == '-';
    if (*q < '0' || *q > '9') return Scan::noMatch;
    long long value = 0;
    for (; *q >= '0' && *q <= '9'; ++q)
        if (value <= INT_MAX) value = value * 10 + (*q - '0');
    if (negative) value = -value;
    out = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
    p = q;
    return Scan::ok;
}

// A number as "%f" reads it, independent of the host's locale. Too large a magnitude
// becomes an infinity (the range clamp turns it into a bound); a NaN counts as no number.
Scan scanFloat(const char*& p, float& out) {
    while (isScanSpace(*p)) ++p;
    if (!*p) return Scan::endOfText;
    const char* start = p;
    if (*start == '+' && start[1] != '-' && start[1] != '+') ++start;
    const char* end = start + std::strlen(start);
    float value = 0.0f;
    std::from_chars_result result = std::from_chars(start, end, value);
    if (result.ec == std::errc::invalid_argument) return Scan::noMatch;
    if (result.ec == std::errc::result_out_of_range) {
        const char* exponent = start;
        while (exponent < result.ptr && *exponent != 'e' && *exponent != 'E') ++exponent;
        const bool tiny = exponent + 1 < result.ptr && exponent[1] == '-';
        const float magnitude = tiny ? 0.0f : std::numeric_limits<float>::infinity();
        value = *start == '-' ? -magnitude : magnitude;
    }
    if (std::isnan(value)) return Scan::noMatch;
    out = value;
    p = result.ptr;
    return Scan::ok;
}

class ConfigurationParser {
public:
    ConfigurationParser(StartupSettings& settings, ControllerMap& map)
        : settings(settings), map(map) {}

    void line(const char* text) {
        if (text[0] == '/' && text[1] == '/') return;
        const char* p = text;
        while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
        const char* keyword = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\n') ++p;
        const std::size_t length = static_cast<std::size_t>(p - keyword);
        if (length == 0) return;
        const char* value = *p ? p + 1 : p;

        if (equalsIgnoringCase(keyword, length, kChannelsKey)) {
            int channels = 0;
            Scan scan = scanInt(value, channels);
            if (scan == Scan::ok) settings.channelCount = channels;
            if (scan == Scan::endOfText) report(kNumParams, "Bad NUMCHANNELS");
        } else if (equalsIgnoringCase(keyword, length, kHalfPowerKey)) {
            settings.halfPower = true;
        } else if (const char* scale = panelKeyValue(keyword, length, value, kScaleKey)) {
            scaleLine(scale);
        } else if (const char* knobMode = panelKeyValue(keyword, length, value, kKnobModeKey)) {
            knobModeLine(knobMode);
        } else {
            for (int i = 0; i < kNumParams; ++i)
                if (equalsIgnoringCase(keyword, length, kMidiKeys[i])) midiLine(i, value);
        }
    }

private:
    // "auto" or a number, held between 1 and 2; anything else is reported and leaves auto.
    void scaleLine(const char* value) {
        float scale = 0.0f;
        const char* p = value;
        if (wordIs(value, "AUTO")) {
            settings.panelScale = 0.0f;
        } else if (scanFloat(p, scale) == Scan::ok && std::isfinite(scale)) {
            settings.panelScale = std::min(2.0f, std::max(1.0f, scale));
        } else {
            settings.panelScale = 0.0f;
            showConfigurationMessage("Bad Scale (1 to 2, or auto)");
        }
    }

    void knobModeLine(const char* value) {
        static const struct { const char* word; int mode; } kModes[] = {
            {"HOST", kKnobModeHost}, {"CIRCULAR", kKnobModeCircular},
            {"RELATIVE", kKnobModeRelative}, {"LINEAR", kKnobModeLinear}};
        for (const auto& entry : kModes)
            if (wordIs(value, entry.word)) {
                settings.knobMode = entry.mode;
                return;
            }
        showConfigurationMessage("Bad KnobMode (circular, relative, linear or host)");
    }

    // The panel keys are written "Key=value", "Key = value" or "Key value"; the older keys
    // keep their blank-separated form, so "NUMCHANNELS=4" still means nothing. The value
    // text of the panel key, or null when the keyword is another.
    static const char* panelKeyValue(const char* keyword, std::size_t length, const char* value, const char* key) {
        const std::size_t keyLength = std::strlen(key);
        if (length < keyLength || !equalsIgnoringCase(keyword, keyLength, key)) return nullptr;
        if (length > keyLength) return keyword[keyLength] == '=' ? keyword + keyLength + 1 : nullptr;
        while (*value == ' ' || *value == '\t') ++value;
        return *value == '=' ? value + 1 : value;
    }

    // The value's first word equals word, case blind.
    static bool wordIs(const char* value, const char* word) {
        while (isScanSpace(*value)) ++value;
        const char* end = value;
        while (*end && !isScanSpace(*end)) ++end;
        return equalsIgnoringCase(value, static_cast<std::size_t>(end - value), word);
    }

    void midiLine(int index, const char* value) {
        ControllerAssignment& entry = map.entries[index];
        int cc = 0;
        float minimum = 0.0f, maximum = 0.0f;
        Scan scan = scanInt(value, cc);
        if (scan == Scan::endOfText) {
            std::string message = std::string("Bad ") + kMidiKeys[index];
            report(index, message.c_str());
            return;
        }
        if (scan != Scan::ok) return;
        entry.ccnumber.store(cc, std::memory_order_relaxed);
        if (scanFloat(value, minimum) != Scan::ok) return;
        entry.min_control_val.store(minimum, std::memory_order_relaxed);
        if (scanFloat(value, maximum) != Scan::ok) return;
        entry.max_control_val.store(maximum, std::memory_order_relaxed);
    }

    // Each problem is shown once per reading, however many lines repeat it.
    void report(int slot, const char* text) {
        if (reported[slot]) return;
        reported[slot] = true;
        showConfigurationMessage(text);
    }

    StartupSettings& settings;
    ControllerMap& map;
    bool reported[kNumParams + 1] = {};
};

// Splits a byte stream into the pieces the parser sees: a carriage return before a line
// feed is dropped, and a piece ends after a line feed or at 255 characters.
class LineSplitter {
public:
    explicit LineSplitter(ConfigurationParser& parser) : parser(parser) {}

    void feed(const char* data, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            const char c = data[i];
            if (pendingReturn) {
                pendingReturn = false;
                if (c != '\n') put('\r');
            }
            if (c == '\r')
                pendingReturn = true;
            else
                put(c);
        }
    }

    void finish() {
        if (pendingReturn) put('\r');
        pendingReturn = false;
        if (used > 0) flush();
    }

private:
    void put(char c) {
        piece[used++] = c;
        if (c == '\n' || used == kLinePiece) flush();
    }
    void flush() {
        piece[used] = 0;
        parser.line(piece);
        used = 0;
    }

    ConfigurationParser& parser;
    char piece[kLinePiece + 1];
    std::size_t used = 0;
    bool pendingReturn = false;
};

void appendFixed6(std::string& out, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    // The host may have switched the C locale to one with a decimal comma.
    for (char* c = text; *c; ++c)
        if (*c == ',') *c = '.';
    out += text;
}

}  // namespace

void applyConfigurationText(const char* text, std::size_t length, StartupSettings& settings,
                            ControllerMap& map) {
    ConfigurationParser parser(settings, map);
    LineSplitter splitter(parser);
    splitter.feed(text, length);
    splitter.finish();
}

bool readConfiguration(const std::string& configPath, StartupSettings& settings,
                       ControllerMap& map) {
    std::FILE* file = openConfigurationForReading(configPath.c_str());
    if (!file) return false;
    ConfigurationParser parser(settings, map);
    LineSplitter splitter(parser);
    char buffer[16384];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) splitter.feed(buffer, got);
    splitter.finish();
    std::fclose(file);
    return true;
}

std::string defaultConfigurationText(const StartupSettings& settings, const ControllerMap& map) {
    std::string text =
        "// Quorvane Configuration File, remove or rename this file to generate defaults.\n"
        "// Reload Quorvane after saving changes to this file.\n"
        "// Commented lines start with //\n"
        "// Set NUMCHANNELS range 1 - 6 (use 2 for stereo, 6 for 5.1.\n"
        "// Note that your host or the track Quorvane is on may not be able to support this "
        "number.)\n";
    text += std::string(kChannelsKey) + " " + std::to_string(settings.channelCount) + "\n\n";
    text +=
        "// MIDI CCs:  MIDICCID ccnumber min_control_val max_control_val\n"
        "// ccnumber Midi Control Change # in range 0-127. Use extended CC#s 128=Pitch Bend, "
        "129=channel aftertouch and/or pressure.\n"
        "// 130=Joystick X, 131=Joystick Y, 132=Joystick Z, 133=Joystick R.\n"
        "// min_control_val and max_control_val range 0.0-1.0  High value first to invert.\n"
        "// Note that playback of automation events to any control will be inhibited while "
        "the joystick is still mapped to that control.\n\n";
    for (int i = 0; i < kNumParams; ++i) {
        const ControllerAssignment& entry = map.entries[i];
        text += std::string(kMidiKeys[i]) + " " + std::to_string(entry.cc()) + " ";
        appendFixed6(text, entry.minimum());
        text += " ";
        appendFixed6(text, entry.maximum());
        text += i == kNumParams - 1 ? "\n\n" : "\n";
    }
    text +=
        "// Remove comment from the next line to use less power at the expense of sound "
        "quality. NOT RECOMMENDED!\n"
        "//HALFPOWER\n\n\n";
    return text;
}

void writeDefaultConfiguration(const std::string& configPath, const StartupSettings& settings,
                               ControllerMap& map) {
    map.setDefaults();
    std::FILE* file = createConfigurationFile(configPath.c_str());
    if (!file) return;
    const std::string text = defaultConfigurationText(settings, map);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

void clampSettings(StartupSettings& settings, ControllerMap& map) {
    if (settings.channelCount < 1) settings.channelCount = 1;
    if (settings.channelCount > 6) settings.channelCount = 6;
    for (ControllerAssignment& entry : map.entries) {
        const std::int32_t cc = entry.cc();
        if (cc < 0) entry.ccnumber.store(0, std::memory_order_relaxed);
        if (cc > kCcJoyR) entry.ccnumber.store(127, std::memory_order_relaxed);
        for (std::atomic<float>* bound : {&entry.min_control_val, &entry.max_control_val}) {
            const float value = bound->load(std::memory_order_relaxed);
            if (value < 0.0f || std::isnan(value)) bound->store(0.0f, std::memory_order_relaxed);
            if (value > 1.0f) bound->store(1.0f, std::memory_order_relaxed);
        }
    }
}
