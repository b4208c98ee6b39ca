// The DSP binary opens no window: a problem in Quorvane.ini goes to standard error,
// where LV2 hosts show or log their plug-ins' output.
#include <cstdio>

#include "plugin/platform/MessageBox.h"

void showModalMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
