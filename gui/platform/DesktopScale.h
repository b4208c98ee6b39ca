// The density the desktop asks for, as device pixels per panel unit (1 at 96 dots per
// inch). Linux: the display's Xft.dpi resource, else GDK_SCALE. Windows: the DPI of the
// window's monitor (of the system without a window) when the process is DPI-aware; an
// unaware process gets 1 and Windows stretches its windows itself.
#pragma once

namespace platform {

// 0 when the desktop says nothing.
double desktopScale(void* window);

// How much a host's toolkit enlarges its own windows, so that a size asked of it in its
// units comes out that many device pixels per unit: GDK_SCALE on Linux (whole numbers,
// as GTK takes it), else 1.
double hostWindowScale();

}  // namespace platform
