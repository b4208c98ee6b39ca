#include "gui/CGeometry.h"

#include <algorithm>

void CBounds::setFromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    left = std::min(x1, x2);
    right = std::max(x1, x2);
    top = std::min(y1, y2);
    bottom = std::max(y1, y2);
}

CBounds& CBounds::offset(std::int32_t dx, std::int32_t dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
}

CBounds& CBounds::bound(const CBounds& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
    if (bottom < top) bottom = top;
    if (right < left) right = left;
    return *this;
}

bool CBounds::overlaps(const CBounds& other) const {
    return !(right < other.left || left > other.right || bottom < other.top || top > other.bottom);
}

bool CBounds::contains(const CPos& p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

bool CBounds::containsStrict(const CPos& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
}
