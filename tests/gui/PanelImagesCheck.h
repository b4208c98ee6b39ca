// The eleven panel images must load and fit the 800 x 212 panel where the editor places
// them; shared by the native and the Windows image tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "gui/CImage.h"

struct PanelImage {
    std::int32_t id;
    int x, y, frames;
    bool knob;
};

// The panel's controls: image id, top-left corner, sub-image count.
inline constexpr PanelImage kPanelImages[] = {
    {123, 306, 76, 101, true}, {130, 418, 70, 101, true}, {124, 519, 64, 101, true},
    {122, 609, 60, 101, true}, {129, 694, 56, 101, true}, {125, 78, 138, 101, true},
    {126, 185, 130, 101, true}, {131, 120, 65, 101, false}, {134, 62, 76, 22, false},
};

inline void expectPanelImagesFit() {
    CImage* background = new CImage(128);
    EXPECT_EQ(background->getWidth(), 700);
    EXPECT_EQ(background->getHeight(), 212);
    EXPECT_NE(background->getPixels(), nullptr);
    background->release();

    for (const PanelImage& c : kPanelImages) {
        CImage* image = new CImage(c.id);
        ASSERT_NE(image->getPixels(), nullptr) << c.id;
        EXPECT_FALSE(image->isOpaque());
        EXPECT_EQ(image->getHeight() % c.frames, 0) << c.id;
        const int h = image->getHeight() / c.frames;
        EXPECT_LE(c.x + image->getWidth(), 800) << c.id;
        EXPECT_LE(c.y + h, 212) << c.id;
        if (c.knob) {
            EXPECT_GE(h, image->getWidth()) << c.id << ": a square knob at the top of each sub-image";
        }
        image->release();
    }
    // The splash is shown at (200, 60).
    CImage* splash = new CImage(127);
    EXPECT_GT(splash->getWidth(), 0);
    EXPECT_LE(200 + splash->getWidth(), 800);
    EXPECT_LE(60 + splash->getHeight(), 212);
    splash->release();
}
