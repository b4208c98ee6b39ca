// quorvane-render: renders audio files through a VST 2 plug-in.
#include <iostream>

#include "host/RenderCommand.h"

int main(int argc, char** argv) {
    return runRenderTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
