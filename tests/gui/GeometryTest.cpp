#include <gtest/gtest.h>

#include "gui/CColor.h"
#include "gui/CGeometry.h"
#include "gui/MouseButtons.h"

TEST(Geometry, ContainsIsInclusiveAndContainsStrictHalfOpen) {
    const CBounds r(10, 10, 20, 20);
    EXPECT_TRUE(r.contains(CPos(20, 20)));
    EXPECT_FALSE(r.containsStrict(CPos(20, 20)));
    EXPECT_TRUE(r.containsStrict(CPos(10, 10)));
    EXPECT_TRUE(r.containsStrict(CPos(19, 19)));
    EXPECT_FALSE(r.contains(CPos(9, 15)));
    EXPECT_FALSE(r.contains(CPos(15, 21)));
}

TEST(Geometry, OverlapIncludesSharedEdges) {
    EXPECT_TRUE(CBounds(0, 0, 10, 10).overlaps(CBounds(10, 0, 20, 10)));
    EXPECT_FALSE(CBounds(0, 0, 10, 10).overlaps(CBounds(11, 0, 20, 10)));
    EXPECT_TRUE(CBounds(0, 0, 10, 10).overlaps(CBounds(0, 10, 10, 20)));
    EXPECT_FALSE(CBounds(0, 11, 10, 20).overlaps(CBounds(0, 0, 10, 10)));
}

TEST(Geometry, BoundingDisjointRectanglesGivesEmptyRectangleAtClampedCorner) {
    CBounds r(0, 0, 10, 10);
    r.bound(CBounds(20, 20, 30, 30));
    EXPECT_EQ(r, CBounds(20, 20, 20, 20));
    EXPECT_EQ(r.width(), 0);
    EXPECT_EQ(r.height(), 0);

    CBounds partial(0, 0, 10, 10);
    partial.bound(CBounds(5, -5, 30, 7));
    EXPECT_EQ(partial, CBounds(5, 0, 10, 7));
}

TEST(Geometry, CornersAreOrderedButPlainSetIsNot) {
    EXPECT_EQ(CBounds::fromCorners(30, 5, 10, 25), CBounds(10, 5, 30, 25));
    CBounds inverted(30, 25, 10, 5);
    EXPECT_EQ(inverted.left, 30);
    EXPECT_EQ(inverted.width(), -20);
    EXPECT_EQ(inverted.height(), -20);
}

TEST(Geometry, OffsetsChainAndMoveAllEdges) {
    CPos p(1, 2);
    p.offset(3, 4).offset(-1, 1);
    EXPECT_EQ(p, CPos(3, 7));
    CBounds r(0, 0, 5, 6);
    r.offset(10, 20).offset(1, 1);
    EXPECT_EQ(r, CBounds(11, 21, 16, 27));
    EXPECT_EQ(r.width(), 5);
}

TEST(Colour, AlphaTakesPartInEqualityButNeverReachesTheColourReference) {
    EXPECT_NE(CRgb(10, 20, 30, 255), CRgb(10, 20, 30, 254));
    EXPECT_EQ(CRgb(10, 20, 30, 255), CRgb(10, 20, 30, 255));
    EXPECT_EQ(CRgb(0x12, 0x34, 0x56, 0x78).toColorRef(), 0x00563412u);
    EXPECT_EQ(kColorTransparent.toColorRef(), kColorWhite.toColorRef());
    EXPECT_NE(kColorTransparent, kColorWhite);
}

TEST(ButtonState, EachButtonAndModifierIsABitOfItsOwn) {
    CButtonState seen = 0;
    for (CButtonState flag : {kMouseLeft, kMouseMiddle, kMouseRight, kKeyShift, kKeyControl, kKeyAlt}) {
        EXPECT_EQ(flag & (flag - 1), 0) << flag << " is one bit";
        EXPECT_EQ(seen & flag, 0) << flag << " shares no bit with the others";
        seen |= flag;
    }
}
