#include "host/PluginLoader.h"

#include <filesystem>
#include <vector>

#include "host/ExitCode.h"
#include "host/platform/HostEnvironment.h"
#include "host/platform/SharedLibrary.h"

namespace {

typedef AEffect*(VSTCALL* PluginEntry)(audioMasterCallback);

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The one plug-in library in a folder, or in a bundle's Contents/<platform>/ folders.
std::string libraryInFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    std::vector<fs::path> places = {folder};
    std::error_code error;
    for (const auto& platform : fs::directory_iterator(fs::path(folder) / "Contents", error))
        if (platform.is_directory(error)) places.push_back(platform.path());
    for (const fs::path& place : places)
        for (const auto& entry : fs::directory_iterator(place, error))
            if (entry.path().extension() == pluginFileExtension() && isFile(entry.path().string()))
                found.push_back(entry.path().string());
    if (found.size() == 1) return found.front();
    throw HostError(ExitCode::PluginNotFound, "plug-in not found: " + folder + " is a folder holding " +
                                                  (found.empty() ? "no" : std::to_string(found.size())) + " " +
                                                  pluginFileExtension() + " files; name the library itself");
}

}  // namespace

std::string resolvePluginPath(const std::string& nameOrPath) {
    if (isFile(nameOrPath)) return nameOrPath;
    std::error_code error;
    if (std::filesystem::is_directory(nameOrPath, error)) return libraryInFolder(nameOrPath);
    if (nameOrPath.find('/') == std::string::npos) {
        for (const std::string& directory : pluginSearchDirectories()) {
            for (const std::string& candidate :
                 {directory + "/" + nameOrPath, directory + "/" + nameOrPath + pluginFileExtension()})
                if (isFile(candidate)) return candidate;
            if (std::filesystem::is_directory(directory + "/" + nameOrPath, error))
                return libraryInFolder(directory + "/" + nameOrPath);
        }
    }
    throw HostError(ExitCode::PluginNotFound, "plug-in not found: " + nameOrPath);
}

LoadedEffect loadEffect(const std::string& path, HostState& state) {
    std::string reason;
    void* library = openSharedLibrary(path, reason);
    if (!library)
        throw HostError(ExitCode::PluginNotLoadable, "cannot load " + path + ": " + reason);

    const char* entryPoint = "VSTPluginMain";
    PluginEntry entry = reinterpret_cast<PluginEntry>(findLibrarySymbol(library, entryPoint));
    if (!entry) {
        entryPoint = "main";
        entry = reinterpret_cast<PluginEntry>(findLibrarySymbol(library, entryPoint));
    }
    if (!entry) {
        closeSharedLibrary(library);
        throw HostError(ExitCode::NoEntryPoint,
                        "not a VST 2 plug-in: " + path + " exports neither VSTPluginMain nor main");
    }

    setInstantiatingHostState(&state);
    AEffect* effect = entry(hostCallback);
    setInstantiatingHostState(nullptr);

    if (!effect) {
        closeSharedLibrary(library);
        throw HostError(ExitCode::NoInstance,
                        "not a VST 2 plug-in: the entry point of " + path + " returned no instance");
    }
    if (effect->magic != kEffectMagic) {
        // A record we cannot trust is not closed through its dispatcher.
        closeSharedLibrary(library);
        throw HostError(ExitCode::WrongMagic,
                        "not a VST 2 plug-in: the record from " + path + " has the wrong magic number");
    }
    bindHostState(effect, &state);
    return LoadedEffect{library, effect, entryPoint};
}
