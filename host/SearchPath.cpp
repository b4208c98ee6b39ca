#include "host/SearchPath.h"

std::vector<std::string> splitSearchPath(const std::string& list, char separator) {
    std::vector<std::string> directories;
    std::string::size_type start = 0;
    while (start <= list.size()) {
        std::string::size_type end = list.find(separator, start);
        if (end == std::string::npos) end = list.size();
        if (end > start) directories.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return directories;
}
