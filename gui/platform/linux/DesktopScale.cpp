#include "gui/platform/DesktopScale.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// The value of "Xft.dpi:" in a resource database's text, or 0.
double xftDpi(const char* resources) {
    static const char kKey[] = "Xft.dpi:";
    for (const char* line = resources; line && *line;) {
        if (std::strncmp(line, kKey, sizeof kKey - 1) == 0) return std::strtod(line + sizeof kKey - 1, nullptr);
        line = std::strchr(line, '\n');
        if (line) ++line;
    }
    return 0.0;
}

}  // namespace

double desktopScale(void*) {
    double dpi = 0.0;
    if (Display* display = XOpenDisplay(nullptr)) {
        dpi = xftDpi(XResourceManagerString(display));
        XCloseDisplay(display);
    }
    if (dpi > 0.0) return dpi / 96.0;
    const char* gdkScale = std::getenv("GDK_SCALE");
    const double scale = gdkScale ? std::strtod(gdkScale, nullptr) : 0.0;
    return scale > 0.0 ? scale : 0.0;
}

double hostWindowScale() {
    const char* gdkScale = std::getenv("GDK_SCALE");
    const long scale = gdkScale ? std::strtol(gdkScale, nullptr, 10) : 0;
    return scale >= 1 && scale <= 8 ? double(scale) : 1.0;
}

}  // namespace platform
