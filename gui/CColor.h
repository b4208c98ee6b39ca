// Colours, and the predefined ones every part of the toolkit shares.
#pragma once

#include <cstdint>

struct CRgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    constexpr CRgb() = default;
    constexpr CRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
        : red(r), green(g), blue(b), alpha(a) {}

    void set(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
        red = r; green = g; blue = b; alpha = a;
    }
    // The platform's colour reference 0x00BBGGRR; alpha never reaches pens, brushes or text.
    constexpr std::uint32_t toColorRef() const {
        return std::uint32_t(red) | (std::uint32_t(green) << 8) | (std::uint32_t(blue) << 16);
    }

    // Alpha counts: a colour differing only in alpha is a change.
    friend constexpr bool operator==(const CRgb& a, const CRgb& b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
    }
    friend constexpr bool operator!=(const CRgb& a, const CRgb& b) { return !(a == b); }
};

inline constexpr CRgb kColorTransparent{255, 255, 255, 0};
inline constexpr CRgb kColorBlack{0, 0, 0, 255};
inline constexpr CRgb kColorWhite{255, 255, 255, 255};
inline constexpr CRgb kColorGrey{127, 127, 127, 255};
inline constexpr CRgb kColorRed{255, 0, 0, 255};
inline constexpr CRgb kColorGreen{0, 255, 0, 255};
inline constexpr CRgb kColorBlue{0, 0, 255, 255};
inline constexpr CRgb kColorYellow{255, 255, 0, 255};
inline constexpr CRgb kColorMagenta{255, 0, 255, 255};
inline constexpr CRgb kColorCyan{0, 255, 255, 255};
