// The render tool as a whole: command line in, exit code out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs one invocation; normal output goes to out, progress, warnings and errors to err.
int runRenderTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
