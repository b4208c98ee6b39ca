#include "tests/support/CommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TestFiles.h"

// Built here with glibc's localedef into a scratch directory, which LOCPATH names while
// the locale loads: no installed locale is needed. Only LC_NUMERIC is defined; -c writes
// the locale in spite of the warnings about the other categories.
bool useCommaDecimalLocale() {
    const std::string dir = makeScratchDirectory("quorvane-locale");
    writeWholeFile(dir + "/comma", "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\nEND LC_NUMERIC\n");
    const std::string command = "localedef -c -i '" + dir + "/comma' '" + dir + "/comma_decimal' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1) return false;
    setenv("LOCPATH", dir.c_str(), 1);
    const bool made = std::setlocale(LC_NUMERIC, "comma_decimal") != nullptr;
    unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);  // the locale in force stays mapped
    return made;
}
