// A search-path variable's value (such as VST_PATH) split into its directories.
#pragma once

#include <string>
#include <vector>

// Empty entries are skipped.
std::vector<std::string> splitSearchPath(const std::string& list, char separator);
