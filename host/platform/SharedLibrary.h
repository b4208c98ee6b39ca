// The platform's run-time library loader, behind the few calls the host needs.
#pragma once

#include <string>

// Loads the library at path; null on failure, with the system's reason in error.
void* openSharedLibrary(const std::string& path, std::string& error);
// The address of an exported symbol, or null.
void* findLibrarySymbol(void* library, const char* name);
void closeSharedLibrary(void* library);
