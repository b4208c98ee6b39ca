// The eleven panel images must load and fit the panel where the editor places them;
// shared by the native and the Windows image tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "editor/PanelLayout.h"
#include "gui/CImage.h"

inline void expectPanelImagesFit() {
    CImage* background = new CImage(panel::kBackgroundImage);
    EXPECT_EQ(background->getWidth(), panel::kBackgroundWidth);
    EXPECT_EQ(background->getHeight(), panel::kBackgroundHeight);
    EXPECT_NE(background->getPixels(), nullptr);
    background->release();

    for (const panel::Control& c : panel::kControls) {
        CImage* image = new CImage(c.image);
        ASSERT_NE(image->getPixels(), nullptr) << c.image;
        EXPECT_FALSE(image->isOpaque());
        EXPECT_EQ(image->getHeight() % c.subImages, 0) << c.image;
        // The splash shows its whole picture elsewhere; the others one sub-image in place.
        const CPos at = c.kind == panel::Kind::Splash ? panel::kSplashShownAt : c.topLeft;
        const int h = image->getHeight() / c.subImages;
        EXPECT_GT(image->getWidth(), 0) << c.image;
        EXPECT_LE(at.x + image->getWidth(), panel::kFrameWidth) << c.image;
        EXPECT_LE(at.y + h, panel::kFrameHeight) << c.image;
        if (c.kind == panel::Kind::Knob) {
            EXPECT_GE(h, image->getWidth()) << c.image << ": a square knob at the top of each sub-image";
        }
        image->release();
    }
}
