// quorvane-render: renders audio files through a VST 2 plug-in.
#include <iostream>

#include "host/RenderCommand.h"
#include "host/RenderOptions.h"
#include "host/platform/CallMonitor.h"

namespace {

// The allocation and lock counting of --validate at level 3 and up needs its library
// preloaded, which only a fresh start of the program can do.
bool wantsCallMonitor(const std::vector<std::string>& arguments) {
    try {
        const RenderOptions options = parseCommandLine(arguments);
        return options.validate && options.level >= 3;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (wantsCallMonitor(std::vector<std::string>(argv + 1, argv + argc))) preloadCallMonitor(argc, argv);
    return runRenderTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
