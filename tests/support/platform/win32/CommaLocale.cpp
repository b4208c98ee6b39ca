#include "tests/support/CommaLocale.h"

#include <clocale>
#include <initializer_list>

bool useCommaDecimalLocale() {
    for (const char* name : {"German_Germany.1252", "de-DE", "German"})
        if (std::setlocale(LC_NUMERIC, name)) return true;
    return false;
}
