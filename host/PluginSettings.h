// Turning --program and --param into program and parameter changes on the plug-in.
#pragma once

#include <string>

#include "host/HostedPlugin.h"
#include "host/RenderOptions.h"

// A program number (from 0) or a program name, compared without regard to case.
// Throws HostError UnknownProgram.
int32 findProgram(HostedPlugin& plugin, const std::string& numberOrName);
// A parameter index (from 0) or name, compared without regard to case.
// Throws HostError UnknownParameter.
int32 findParameter(HostedPlugin& plugin, const std::string& indexOrName);

// Selects the program, then sets the parameters in command-line order. Every name is
// checked before anything changes.
void applySettings(HostedPlugin& plugin, const RenderOptions& options);
