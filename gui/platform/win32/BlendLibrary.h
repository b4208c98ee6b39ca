// "AlphaBlend" and "TransparentBlt" from msimg32.dll, loaded at run time, and the
// platform version that decides how they are used.
#pragma once

#include <windows.h>

namespace platform::win32 {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

struct BlendLibrary {
    AlphaBlendFunction alphaBlend = nullptr;
    TransparentBltFunction transparentBlt = nullptr;  // only looked up on the NT family
    // Windows 98 (9x family 4.10), where blending straight from a DIB section is unreliable.
    bool blendNeedsTemporaryCopy = false;
};

// Looked up again by every frame (SystemLibraries.h), or on first use without one.
const BlendLibrary& blendLibrary();

}  // namespace platform::win32
