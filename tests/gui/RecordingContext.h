// A device context that records the calls a surface makes, for tests of what reaches
// the platform (and what does not).
#pragma once

#include <string>
#include <vector>

#include "gui/platform/DeviceContext.h"

class RecordingContext : public platform::DeviceContext {
public:
    std::vector<std::string> calls;
    platform::FontSpec lastFont;
    std::string lastFace;
    platform::TextAlign lastAlign = platform::TextAlign::Left;
    CBounds lastRect;

    void clear() { calls.clear(); }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    void setPen(platform::PenStyle style, int width, platform::ColorRef color) override {
        calls.push_back("pen " + std::to_string(int(style)) + " " + std::to_string(width) + " " + std::to_string(color));
    }
    bool setBrush(platform::ColorRef color) override {
        calls.push_back("brush " + std::to_string(color));
        return true;
    }
    void setFont(const platform::FontSpec& font) override {
        lastFont = font;
        lastFace = font.face;
        calls.push_back("font");
    }
    void setBackgroundMode(platform::BackgroundMode mode) override {
        calls.push_back(mode == platform::BackgroundMode::Opaque ? "bkmode opaque" : "bkmode transparent");
    }
    void setBackgroundColor(platform::ColorRef color) override { calls.push_back("bkcolor " + std::to_string(color)); }
    void setTextColor(platform::ColorRef color) override { calls.push_back("textcolor " + std::to_string(color)); }
    void setRasterMode(platform::RasterMode mode) override { calls.push_back("rop " + std::to_string(int(mode))); }
    void drawText(const char*, const CBounds& rect, platform::TextAlign align) override {
        lastRect = rect;
        lastAlign = align;
        calls.push_back("text");
    }
    int getTextWidth(const char*) override { return 0; }
    void moveTo(int x, int y) override { calls.push_back("moveto " + std::to_string(x) + " " + std::to_string(y)); }
    void lineTo(int x, int y) override { calls.push_back("lineto " + std::to_string(x) + " " + std::to_string(y)); }
    void fillRect(const CBounds& r) override { lastRect = r; calls.push_back("fillrect"); }
    void fillEllipse(const CBounds& r) override { lastRect = r; calls.push_back("ellipse"); }
    void setClipRect(const CBounds& r) override { lastRect = r; calls.push_back("clip"); }
    void copyFrom(DeviceContext&, const CBounds&, CPos) override { calls.push_back("copy"); }
    void copyBitmap(const platform::PixelBitmap&, CPos, const CBounds&) override { calls.push_back("bitmap copy"); }
    void blendBitmap(const platform::PixelBitmap&, CPos, const CBounds&, std::uint8_t, bool) override {
        calls.push_back("bitmap blend");
    }
    void copyBitmapKeyed(const platform::PixelBitmap&, CPos, const CBounds&, platform::ColorRef) override {
        calls.push_back("bitmap keyed");
    }
    std::unique_ptr<DeviceContext> createCompatible(int, int) override { return std::make_unique<RecordingContext>(); }
};
