// Whole-pixel points and rectangles of the editor window.
#pragma once

#include <cstdint>

struct CPos {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr CPos() = default;
    constexpr CPos(std::int32_t x, std::int32_t y) : x(x), y(y) {}

    void set(std::int32_t newX, std::int32_t newY) { x = newX; y = newY; }
    CPos& offset(std::int32_t dx, std::int32_t dy) {
        x += dx;
        y += dy;
        return *this;
    }

    friend constexpr bool operator==(const CPos& a, const CPos& b) { return a.x == b.x && a.y == b.y; }
    friend constexpr bool operator!=(const CPos& a, const CPos& b) { return !(a == b); }
};

// right and bottom lie just past the last column and row.
struct CBounds {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr CBounds() = default;
    constexpr CBounds(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    void set(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        left = l; top = t; right = r; bottom = b;
    }
    // From two arbitrary corners: the edges come out ordered.
    void setFromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    static CBounds fromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        CBounds b;
        b.setFromCorners(x1, y1, x2, y2);
        return b;
    }

    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }

    CBounds& offset(std::int32_t dx, std::int32_t dy);
    // Intersection in place; disjoint rectangles give an empty one, never an inverted one.
    CBounds& bound(const CBounds& other);
    // Inclusive of the far edges: rectangles sharing an edge overlap.
    bool overlaps(const CBounds& other) const;
    // Inclusive on all four sides (mouse areas).
    bool contains(const CPos& p) const;
    // Half-open (click tolerance boxes).
    bool containsStrict(const CPos& p) const;

    friend constexpr bool operator==(const CBounds& a, const CBounds& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend constexpr bool operator!=(const CBounds& a, const CBounds& b) { return !(a == b); }
};
