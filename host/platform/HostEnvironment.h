// What the host asks of its surroundings: where plug-ins live and whether a person watches.
#pragma once

#include <string>
#include <vector>

// Directories searched, in order, for a plug-in given by bare name.
std::vector<std::string> pluginSearchDirectories();
// File name ending of a plug-in library on this platform.
const char* pluginFileExtension();
// True when standard error is an interactive terminal (worth drawing progress on).
bool standardErrorIsTerminal();
// Keeps plug-ins loaded from now on from reaching a display, so a modal message box of
// theirs becomes a line on standard error; false where that cannot be done.
bool hideDisplayFromPlugins();
