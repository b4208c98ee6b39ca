// A numeric locale whose decimal point is a comma, for the checks that text files read
// and write the same whatever locale the host runs in.
#pragma once

// Makes such a locale the process's LC_NUMERIC; false when none can be had.
bool useCommaDecimalLocale();
