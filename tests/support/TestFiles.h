// Scratch directories and text files for tests, the same on every platform.
#pragma once

#include <string>

// A new empty directory under the system's temporary directory.
std::string makeScratchDirectory(const char* prefix);

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);

// The text as a file written in the platform's text mode holds it.
std::string withPlatformLineEnds(const std::string& text);
