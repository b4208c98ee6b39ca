// The validation battery: one function per check, each run in a process of its own.
#pragma once

#include <cstdint>
#include <string>

#include "host/validate/CheckLog.h"

struct ValidationSettings {
    std::string pluginPath;  // resolved
    std::string pluginId;    // --plugin-id: one of several plug-ins in a file
    int level = 2;           // 1..5: higher runs longer and more randomised
    std::uint32_t seed = 1;  // for every random choice, so a run can be repeated
};

// For checks of VST 2 behaviour alone: true, with the check skipped as "not applicable",
// for a plug-in of another format.
bool skippedForOtherFormats(const ValidationSettings& settings, CheckLog& log);

void checkScanAndIdentity(const ValidationSettings& settings, CheckLog& log);
void checkProgramsAndParameters(const ValidationSettings& settings, CheckLog& log);
void checkAudio(const ValidationSettings& settings, CheckLog& log);
void checkAutomation(const ValidationSettings& settings, CheckLog& log);
void checkRealtimeMargin(const ValidationSettings& settings, CheckLog& log);
void checkEditor(const ValidationSettings& settings, CheckLog& log);
void checkConfiguration(const ValidationSettings& settings, CheckLog& log);
void checkHostMisuse(const ValidationSettings& settings, CheckLog& log);
