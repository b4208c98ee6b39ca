// Both LV2 binaries, the DSP one and the UI, report a problem in Quorvane.ini on
// standard error rather than in a message box: the DSP binary must open no window, and
// the UI reads the file too. Hosts show or log what their plug-ins print there.
#include <cstdio>

#include "plugin/platform/MessageBox.h"

void showModalMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
