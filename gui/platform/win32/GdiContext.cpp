#include "gui/platform/win32/GdiContext.h"

#include <cstring>

#include "gui/platform/win32/BlendLibrary.h"
#include "gui/platform/win32/DibBitmap.h"

namespace platform::win32 {
namespace {

RECT toRect(const CBounds& b) { return RECT{LONG(b.left), LONG(b.top), LONG(b.right), LONG(b.bottom)}; }

HBITMAP bitmapOf(const PixelBitmap& bitmap) { return static_cast<const DibBitmap&>(bitmap).handle(); }

// A memory context with the image's bitmap selected, for the duration of one call.
class SelectedBitmap {
public:
    SelectedBitmap(HDC reference, HBITMAP bitmap) : dc(CreateCompatibleDC(reference)) {
        if (dc) previous = SelectObject(dc, bitmap);
    }
    ~SelectedBitmap() {
        if (!dc) return;
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC handle() const { return dc; }

private:
    HDC dc;
    HGDIOBJ previous = nullptr;
};

// Colour-keyed copy without TransparentBlt: a monochrome mask of the key colour, then
// destination XOR image, AND mask, XOR image.
void maskedCopy(HDC dest, const CBounds& d, HDC image, int sx, int sy, COLORREF key) {
    const int w = d.width(), h = d.height();
    HDC maskDc = CreateCompatibleDC(dest);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    if (!maskDc || !mask) {
        if (mask) DeleteObject(mask);
        if (maskDc) DeleteDC(maskDc);
        return;
    }
    HGDIOBJ previousMask = SelectObject(maskDc, mask);
    const COLORREF imageBack = SetBkColor(image, key);
    BitBlt(maskDc, 0, 0, w, h, image, sx, sy, SRCCOPY);
    SetBkColor(image, imageBack);

    const COLORREF destBack = SetBkColor(dest, RGB(255, 255, 255));
    const COLORREF destText = SetTextColor(dest, RGB(0, 0, 0));
    BitBlt(dest, d.left, d.top, w, h, image, sx, sy, SRCINVERT);
    BitBlt(dest, d.left, d.top, w, h, maskDc, 0, 0, SRCAND);
    BitBlt(dest, d.left, d.top, w, h, image, sx, sy, SRCINVERT);
    SetBkColor(dest, destBack);
    SetTextColor(dest, destText);

    SelectObject(maskDc, previousMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
}

}  // namespace

GdiContext::GdiContext(HDC dc)
    : dc(dc),
      savedPen(GetCurrentObject(dc, OBJ_PEN)),
      savedBrush(GetCurrentObject(dc, OBJ_BRUSH)),
      savedFont(GetCurrentObject(dc, OBJ_FONT)) {}

std::unique_ptr<GdiContext> GdiContext::forWindow(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return nullptr;
    auto context = std::make_unique<GdiContext>(dc);
    context->releaseTo = window;
    return context;
}

std::unique_ptr<GdiContext> GdiContext::memory(HDC reference, int width, int height) {
    HDC dc = CreateCompatibleDC(reference);
    if (!dc) return nullptr;
    HDC screen = reference ? reference : GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (!reference) ReleaseDC(nullptr, screen);
    if (!bitmap) {
        DeleteDC(dc);
        return nullptr;
    }
    auto context = std::make_unique<GdiContext>(dc);
    context->ownBitmap = bitmap;
    context->savedBitmap = SelectObject(dc, bitmap);
    return context;
}

GdiContext::~GdiContext() {
    SelectObject(dc, savedPen);
    SelectObject(dc, savedBrush);
    SelectObject(dc, savedFont);
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
    if (font) DeleteObject(font);
    if (ownBitmap) {
        SelectObject(dc, savedBitmap);
        DeleteObject(ownBitmap);
        DeleteDC(dc);
    }
    if (releaseTo) ReleaseDC(releaseTo, dc);
}

void GdiContext::setPen(PenStyle style, int width, ColorRef color) {
    LOGPEN spec{};
    spec.lopnStyle = style == PenStyle::Dotted ? PS_DOT : PS_SOLID;
    spec.lopnWidth.x = width;
    spec.lopnWidth.y = width;
    spec.lopnColor = color;
    HPEN made = CreatePenIndirect(&spec);
    if (!made) return;
    SelectObject(dc, made);
    if (pen) DeleteObject(pen);
    pen = made;
}

bool GdiContext::setBrush(ColorRef color) {
    LOGBRUSH spec{};
    spec.lbStyle = BS_SOLID;
    spec.lbColor = color;
    HBRUSH made = CreateBrushIndirect(&spec);
    if (!made) return false;
    SelectObject(dc, made);
    if (brush) DeleteObject(brush);
    brush = made;
    return true;
}

void GdiContext::setFont(const FontSpec& spec) {
    LOGFONTA logical{};
    logical.lfHeight = spec.height;
    logical.lfWeight = spec.weight;
    logical.lfItalic = spec.italic ? TRUE : FALSE;
    logical.lfUnderline = spec.underline ? TRUE : FALSE;
    logical.lfCharSet = ANSI_CHARSET;
    logical.lfOutPrecision = OUT_STRING_PRECIS;
    logical.lfClipPrecision = CLIP_STROKE_PRECIS;
    logical.lfQuality = DEFAULT_QUALITY;
    logical.lfPitchAndFamily = spec.decorative ? (FF_DECORATIVE | DEFAULT_PITCH) : (VARIABLE_PITCH | FF_SWISS);
    std::strncpy(logical.lfFaceName, spec.face, LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectA(&logical);
    if (!made) return;
    SelectObject(dc, made);
    if (font) DeleteObject(font);
    font = made;
}

void GdiContext::setBackgroundMode(BackgroundMode mode) {
    SetBkMode(dc, mode == BackgroundMode::Opaque ? OPAQUE : TRANSPARENT);
}

void GdiContext::setBackgroundColor(ColorRef color) { SetBkColor(dc, color); }
void GdiContext::setTextColor(ColorRef color) { SetTextColor(dc, color); }

void GdiContext::setRasterMode(RasterMode mode) {
    int rop = R2_COPYPEN;
    if (mode == RasterMode::MergePen) rop = R2_MERGEPEN;
    if (mode == RasterMode::NotXorPen) rop = R2_NOTXORPEN;
    SetROP2(dc, rop);
}

void GdiContext::drawText(const char* text, const CBounds& rect, TextAlign align) {
    RECT r = toRect(rect);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (align == TextAlign::Center) format |= DT_CENTER;
    else if (align == TextAlign::Right) format |= DT_RIGHT;
    else format |= DT_LEFT;
    DrawTextA(dc, text, -1, &r, format);
}

int GdiContext::getTextWidth(const char* text) {
    SIZE size{};
    if (!GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &size)) return 0;
    return int(size.cx);
}

void GdiContext::moveTo(int x, int y) { MoveToEx(dc, x, y, nullptr); }
void GdiContext::lineTo(int x, int y) { LineTo(dc, x, y); }

void GdiContext::fillRect(const CBounds& rect) {
    RECT r = toRect(rect);
    FillRect(dc, &r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
}

void GdiContext::fillEllipse(const CBounds& rect) {
    HGDIOBJ previous = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, previous);
}

void GdiContext::setClipRect(const CBounds& rect) {
    HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    if (!region) return;
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

void GdiContext::copyFrom(DeviceContext& src, const CBounds& dest, CPos srcPoint) {
    auto* source = dynamic_cast<GdiContext*>(&src);
    if (!source) return;
    BitBlt(dc, dest.left, dest.top, dest.width(), dest.height(), source->dc, srcPoint.x, srcPoint.y, SRCCOPY);
}

void GdiContext::copyBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest) {
    SelectedBitmap image(dc, bitmapOf(bitmap));
    if (!image.handle()) return;
    BitBlt(dc, dest.left, dest.top, dest.width(), dest.height(), image.handle(), srcPoint.x, srcPoint.y, SRCCOPY);
}

void GdiContext::blendBitmap(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest,
                             std::uint8_t constantAlpha, bool usePixelAlpha) {
    const BlendLibrary& library = blendLibrary();
    if (!library.alphaBlend) {
        // No blending on this system: transparent pixels are stored as black, so a
        // black-keyed copy keeps the image's shape.
        copyBitmapKeyed(bitmap, srcPoint, dest, RGB(0, 0, 0));
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, BYTE(usePixelAlpha ? AC_SRC_ALPHA : 0)};
    const int w = dest.width(), h = dest.height();
    SelectedBitmap image(dc, bitmapOf(bitmap));
    if (!image.handle()) return;
    if (!library.blendNeedsTemporaryCopy) {
        library.alphaBlend(dc, dest.left, dest.top, w, h, image.handle(), srcPoint.x, srcPoint.y, w, h, blend);
        return;
    }
    std::unique_ptr<PixelBitmap> part = createPixelBitmap(w, h);
    if (!part) return;
    SelectedBitmap temporary(dc, bitmapOf(*part));
    if (!temporary.handle()) return;
    BitBlt(temporary.handle(), 0, 0, w, h, image.handle(), srcPoint.x, srcPoint.y, SRCCOPY);
    library.alphaBlend(dc, dest.left, dest.top, w, h, temporary.handle(), 0, 0, w, h, blend);
}

void GdiContext::copyBitmapKeyed(const PixelBitmap& bitmap, CPos srcPoint, const CBounds& dest, ColorRef key) {
    SelectedBitmap image(dc, bitmapOf(bitmap));
    if (!image.handle()) return;
    const BlendLibrary& library = blendLibrary();
    if (library.transparentBlt) {
        library.transparentBlt(dc, dest.left, dest.top, dest.width(), dest.height(), image.handle(), srcPoint.x,
                               srcPoint.y, dest.width(), dest.height(), key);
        return;
    }
    maskedCopy(dc, dest, image.handle(), srcPoint.x, srcPoint.y, key);
}

std::unique_ptr<DeviceContext> GdiContext::createCompatible(int width, int height) {
    return memory(dc, width, height);
}

CPos GdiWindow::getScreenTopLeft() const {
    RECT r{};
    GetWindowRect(window, &r);
    return CPos(r.left, r.top);
}

}  // namespace platform::win32

namespace platform {

std::unique_ptr<DeviceContext> createMemoryContext(int width, int height) {
    return win32::GdiContext::memory(nullptr, width, height);
}

}  // namespace platform
