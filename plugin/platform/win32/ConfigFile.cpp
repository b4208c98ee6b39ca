#include "plugin/platform/ConfigFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

std::FILE* openConfigurationForReading(const char* path) { return std::fopen(path, "rb"); }

std::FILE* createConfigurationFile(const char* path) {
    // Exclusive creation through the descriptor: the C run-time's fopen knows no "x". Text
    // mode, so the written file gets CRLF line ends like any Windows text file.
    const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wt");
    if (!file) _close(fd);
    return file;
}
