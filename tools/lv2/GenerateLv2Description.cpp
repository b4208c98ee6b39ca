// Writes the LV2 bundle's Turtle files (manifest.ttl, Quorvane.ttl, presets.ttl) from the
// tables the VST 2 plug-in uses: parameter names and labels, display texts, the factory
// programs; and declares the panel's UI. Run at build time, so the description cannot
// drift from the code.
//   quorvane-lv2-description BUNDLE_DIRECTORY
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/PluginDescription.h"
#include "lv2/PluginIdentity.h"

namespace {

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string parameterName(std::int32_t index) { return parameterDescription(index).name; }
std::string parameterLabel(std::int32_t index) { return parameterDescription(index).unit; }

// What the VST 2 display shows for a value.
std::string displayText(std::int32_t index, float value) {
    char text[kParameterTextSize];
    parameterValueText(index, value, text);
    return text;
}

// Lower-case letters and digits, anything else one underscore: "LPF/HPF" -> "lpf_hpf".
std::string symbolFor(const std::string& text) {
    std::string symbol;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            symbol += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!symbol.empty() && symbol.back() != '_')
            symbol += '_';
    }
    while (!symbol.empty() && symbol.back() == '_') symbol.pop_back();
    return symbol;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Enough digits to give back the same float; always a decimal, never an integer literal.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string out = text;
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

std::string unitUri(std::int32_t index) {
    return std::string("<https://quorvane.audio/lv2/units#") + symbolFor(parameterLabel(index)) + ">";
}


std::vector<float> scalePointValues(std::int32_t index) {
    std::vector<float> points;
    const std::int32_t steps = parameterDescription(index).stepCount;
    for (std::int32_t i = 0; steps > 0 && i <= steps; ++i) points.push_back(stepValue(index, i));
    return points;
}

void writeControlPort(std::ostream& out, std::int32_t index) {
    out << "    lv2:port [\n"
        << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(symbolFor(parameterName(index))) << " ;\n"
        << "        lv2:name " << quoted(parameterName(index)) << " ;\n"
        << "        lv2:default " << number(parameterDescription(index).defaultValue) << " ;\n"
        << "        lv2:minimum 0.0 ;\n"
        << "        lv2:maximum 1.0 ;\n"
        << "        units:unit " << unitUri(index);
    // A choice in hosts' generic controls, which then write only the scale points' values.
    if (index == kMode || index == kStages) out << " ;\n        lv2:portProperty lv2:enumeration";
    const std::vector<float> points = scalePointValues(index);
    for (std::size_t i = 0; i < points.size(); ++i)
        out << (i == 0 ? " ;\n        lv2:scalePoint " : " ,\n            ") << "[ rdfs:label "
            << quoted(displayText(index, points[i])) << " ; rdf:value " << number(points[i])
            << " ]";
    out << "\n    ] ;\n";
}

void writeAudioPort(std::ostream& out, std::uint32_t index, bool input, int channel,
                    int channels) {
    const char* side = channels == 1 ? "" : channel == 0 ? " L" : " R";
    const std::string name = std::string(input ? "In" : "Out") + side;
    out << "    lv2:port [\n"
        << "        a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(symbolFor(name)) << " ;\n"
        << "        lv2:name " << quoted(name) << "\n"
        << "    ] ;\n";
}

void writePlugin(std::ostream& out, const Lv2Variant& variant) {
    out << "<" << variant.uri << ">\n"
        << "    a lv2:Plugin , lv2:FilterPlugin , doap:Project ;\n"
        << "    doap:name " << quoted(variant.name) << " ;\n"
        << "    doap:maintainer [\n"
        << "        foaf:name " << quoted(pluginIdentity().maker) << " ;\n"
        << "        foaf:mbox <mailto:" << pluginIdentity().email << "> ;\n"
        << "        foaf:homepage <" << pluginIdentity().url << ">\n"
        << "    ] ;\n"
        // The project's version: an even minor version is a release to LV2 hosts, an odd
        // one (or an odd micro version) a development build.
        << "    lv2:minorVersion " << pluginIdentity().minorVersion << " ;\n"
        << "    lv2:microVersion " << pluginIdentity().microVersion << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
        << "    ui:ui <" << kLv2UiUri << "> ;\n";
    for (std::int32_t i = 0; i < kNumParams; ++i) writeControlPort(out, i);
    for (int c = 0; c < variant.channels; ++c)
        writeAudioPort(out, audioInputPort(c), true, c, variant.channels);
    for (int c = 0; c < variant.channels; ++c)
        writeAudioPort(out, audioOutputPort(variant.channels, c), false, c, variant.channels);
    out << "    lv2:port [\n"
        << "        a lv2:InputPort , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:portProperty lv2:connectionOptional ;\n"
        << "        lv2:index " << midiInputPort(variant.channels) << " ;\n"
        << "        lv2:symbol \"midi_in\" ;\n"
        << "        lv2:name \"MIDI In\"\n"
        << "    ] .\n\n";
}

std::string presetUri(const Lv2Variant& variant, int program) {
    return std::string("<") + variant.uri + "/presets/" + std::to_string(program + 1) + ">";
}

void writeUnits(std::ostream& out) {
    std::vector<std::string> written;
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        const std::string uri = unitUri(i);
        bool seen = false;
        for (const std::string& w : written) seen = seen || w == uri;
        if (seen) continue;
        written.push_back(uri);
        out << uri << "\n    a units:Unit ;\n    rdfs:label " << quoted(parameterLabel(i))
            << " ;\n    units:symbol " << quoted(parameterLabel(i)) << " .\n\n";
    }
}

// The panel needs a parent window and the host's idle calls; it tells its size when it can
// and reports gestures as touches; it takes the host's scale as its HiDPI scale.
void writeUi(std::ostream& out) {
    out << "<" << kLv2UiUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:noUserResize , ui:resize , ui:touch , opts:options , urid:map ;\n"
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    lv2:extensionData ui:idleInterface .\n\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::cerr << "cannot write " << path << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quorvane-lv2-description BUNDLE_DIRECTORY\n";
        return 2;
    }
    const std::string bundle = argv[1];
    std::ostringstream manifest, plugins, presets;
    manifest << kPrefixes;
    plugins << kPrefixes;
    presets << kPrefixes;
    writeUnits(plugins);
    writeUi(plugins);
    manifest << "<" << kLv2UiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << kLv2UiBinaryName
             << "> ;\n    rdfs:seeAlso <Quorvane.ttl> .\n\n";
    for (const Lv2Variant& variant : kLv2Variants) {
        manifest << "<" << variant.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <"
                 << kLv2BinaryName << "> ;\n    rdfs:seeAlso <Quorvane.ttl> .\n\n";
        writePlugin(plugins, variant);
        for (int p = 0; p < kNumPrograms; ++p) {
            const char* name = factoryProgram(p).name;
            manifest << presetUri(variant, p) << "\n    a pset:Preset ;\n    lv2:appliesTo <"
                     << variant.uri << "> ;\n    rdfs:label " << quoted(name)
                     << " ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
            presets << presetUri(variant, p) << "\n    a pset:Preset ;\n    lv2:appliesTo <"
                    << variant.uri << "> ;\n    rdfs:label " << quoted(name);
            for (std::int32_t i = 0; i < kNumParams; ++i)
                presets << " ;\n    lv2:port [ lv2:symbol "
                        << quoted(symbolFor(parameterName(i))) << " ; pset:value "
                        << number(factoryProgram(p).values[i]) << " ]";
            presets << " .\n\n";
        }
    }
    const bool written = writeFile(bundle + "/manifest.ttl", manifest.str()) &&
                         writeFile(bundle + "/Quorvane.ttl", plugins.str()) &&
                         writeFile(bundle + "/presets.ttl", presets.str());
    return written ? 0 : 1;
}
