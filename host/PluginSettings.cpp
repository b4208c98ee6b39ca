#include "host/PluginSettings.h"

#include <cctype>
#include <vector>

#include "host/ExitCode.h"

namespace {

bool isWholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (unsigned char c : text)
        if (!std::isdigit(c)) return false;
    return true;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

int32 findProgram(HostedPlugin& plugin, const std::string& numberOrName) {
    const int32 count = plugin.programCount();
    if (isWholeNumber(numberOrName)) {
        const int32 number = std::stoi(numberOrName);
        if (number < count) return number;
        const std::string has = count == 0   ? "no programs"
                                : count == 1 ? "1 program (0)"
                                             : std::to_string(count) + " programs (0.." + std::to_string(count - 1) + ")";
        throw HostError(ExitCode::UnknownProgram, "no program " + numberOrName + ": the plug-in has " + has);
    }
    for (int32 program = 0; program < count; ++program)
        if (sameName(plugin.programName(program), numberOrName)) return program;
    throw HostError(ExitCode::UnknownProgram, "no program named '" + numberOrName + "' (see --list)");
}

int32 findParameter(HostedPlugin& plugin, const std::string& indexOrName) {
    const int32 count = plugin.parameterCount();
    if (isWholeNumber(indexOrName)) {
        const int32 index = std::stoi(indexOrName);
        if (index < count) return index;
        throw HostError(ExitCode::UnknownParameter, "no parameter " + indexOrName + ": the plug-in has " +
                                                        std::to_string(count) + (count == 1 ? " parameter" : " parameters"));
    }
    for (int32 index = 0; index < count; ++index)
        if (sameName(plugin.parameterName(index), indexOrName)) return index;
    throw HostError(ExitCode::UnknownParameter, "no parameter named '" + indexOrName + "' (see --list)");
}

void applySettings(HostedPlugin& plugin, const RenderOptions& options) {
    const int32 program = options.program ? findProgram(plugin, *options.program) : -1;
    std::vector<int32> indices;
    for (const ParameterSetting& setting : options.parameters)
        indices.push_back(findParameter(plugin, setting.parameter));

    if (program >= 0) plugin.setProgram(program);
    for (std::size_t i = 0; i < indices.size(); ++i)
        plugin.setParameter(indices[i], options.parameters[i].value);
}
