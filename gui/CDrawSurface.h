// A short-lived drawing target: one platform device context (a window's or a memory
// bitmap's) plus the current pen, brush, font, colours, clip and two offsets. Setters
// compare before they rebuild, so drawing code may set its colours on every draw.
// Everything here is in panel units; the frame's scale turns them into device pixels
// only on the way to the context (and pointer positions back into panel units).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CColor.h"
#include "gui/CGeometry.h"
#include "gui/CRefObject.h"
#include "gui/MouseButtons.h"
#include "gui/SurfaceFrame.h"
#include "gui/platform/DeviceContext.h"
#include "gui/platform/Input.h"

namespace platform {
class Window;
}

enum CFontId : std::int32_t {
    kFontSystem = 0,
    kFontHuge,
    kFontLarge,
    kFontNormal,
    kFontSmall,
    kFontSmaller,
    kFontTiny,
    kFontSymbol,
    kNumFonts
};

enum : std::int32_t { kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4 };
enum : std::int32_t { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
enum : std::int32_t { kDrawOutline = 0, kDrawFilled = 1, kDrawFilledOutline = 2 };
enum : std::int32_t { kLineSolid = 0, kLineDotted = 1 };
enum : std::int32_t { kModeCopy = 0, kModeOr = 1, kModeXor = 2 };

// Face and default size of each font id.
struct CFontDescription {
    const char* face;
    std::int32_t defaultSize;
};
const CFontDescription& getFontDescription(std::int32_t fontId);

class CDrawSurface : public CRefObject {
public:
    // Any of the three may be none. With a window but no context the surface takes the
    // window's context itself and gives it back on destruction.
    CDrawSurface(SurfaceFrame* frame, platform::DeviceContext* deviceContext, platform::Window* window);
    ~CDrawSurface() override;

    void setFrameColor(const CRgb& color);
    CRgb getFrameColor() const { return frameColor; }
    void setLineStyle(std::int32_t style);
    std::int32_t getLineStyle() const { return lineStyle; }
    void setLineWidth(std::int32_t width);
    std::int32_t getLineWidth() const { return lineWidth; }
    void setFillColor(const CRgb& color);
    CRgb getFillColor() const { return fillColor; }
    void setFontColor(const CRgb& color);
    CRgb getFontColor() const { return fontColor; }
    void setDrawMode(std::int32_t mode);
    std::int32_t getDrawMode() const { return drawMode; }
    // An id outside 0..7 means kFontSystem; size 0 means the id's default size.
    void setFont(std::int32_t fontId, std::int32_t size = 0, std::int32_t style = 0);
    std::int32_t getFontId() const { return fontId; }
    std::int32_t getFontSize() const { return fontSize; }
    std::int32_t getStringWidth(const char* text);

    void drawString(const char* text, const CBounds& rect, bool opaque = false, std::int32_t align = kAlignCenter);
    void moveTo(const CPos& point);
    void lineTo(const CPos& point);
    void drawRect(const CBounds& rect, std::int32_t style = kDrawOutline);
    // Leaves the rectangle's top row and left column untouched.
    void fillRect(const CBounds& rect);
    void fillEllipse(const CBounds& rect);

    void setClipRect(const CBounds& rect);
    // In drawing coordinates (offset subtracted).
    void getClipRect(CBounds& out) const;
    // In device coordinates.
    const CBounds& getDeviceClipRect() const { return clipRect; }

    CButtonState getButtonState() const;
    // Buttons and keys as an event reported them, with the user's left/right swap.
    CButtonState toButtonState(const platform::PhysicalButtons& buttons) const;
    void getPointerPosition(CPos& out) const;

    const CPos& getOffset() const { return offset; }
    void setOffset(const CPos& value) { offset = value; }
    const CPos& getScreenOffset() const { return screenOffset; }
    void setScreenOffset(const CPos& value) { screenOffset = value; }

    platform::DeviceContext* getDeviceContext() const { return deviceContext; }
    double getScale() const { return scale; }
    // Panel units (offset included) to device pixels: edges round to the nearest pixel.
    int toDevice(int value) const;
    CBounds toDevice(const CBounds& rect) const;
    platform::Window* getWindow() const { return window; }
    SurfaceFrame* getFrame() const { return frame; }

    // The user's left/right button swap, read by the frame when it registers its window class.
    static void setButtonsSwapped(bool swapped);

protected:
    // For offscreens, which make their memory context after construction: takes the
    // context over and gives it the pen, brush, colours, font and mode stored so far.
    void adoptContext(platform::DeviceContext* context);
    // Stores a clip in device coordinates without touching the context.
    void setClipRectDevice(const CBounds& rect) { clipRect = rect; }

private:
    void attachContext(platform::DeviceContext* context);
    void applyDefaults();
    void rebuildPen();
    void applyFont(std::int32_t style);
    void applyDrawMode();

    CPos screenOffset;
    CPos offset;
    platform::DeviceContext* deviceContext = nullptr;
    platform::Window* window = nullptr;
    SurfaceFrame* frame = nullptr;
    std::int32_t fontSize = -1;
    std::int32_t fontId = kNumFonts;
    CRgb fontColor{0, 0, 0, 0};
    std::int32_t lineWidth = 1;
    CRgb frameColor{0, 0, 0, 0};
    CRgb fillColor{0, 0, 0, 0};
    std::int32_t lineStyle = kLineSolid;
    std::int32_t drawMode = 3;
    CBounds clipRect;
    double scale = 1.0;
    std::unique_ptr<platform::DeviceContext> ownedContext;
};
