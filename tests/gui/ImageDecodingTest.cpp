#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <cstring>
#include <utility>

#include "gui/PngDecoder.h"
#include "gui/ResourceStream.h"
#include "tests/gui/TestPng.h"

namespace {

// Pixel (x, y), y counted from the top of the picture, as blue, green, red, alpha.
std::array<int, 4> pixel(const DecodedImage& image, int x, int y) {
    const std::uint8_t* bits = image.pixels->bits();
    const std::uint8_t* p = bits + (std::size_t(image.height - 1 - y) * std::size_t(image.width) + std::size_t(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

DecodedImage decodeStored(const std::vector<std::uint8_t>& png) {
    const std::vector<std::uint8_t> stored = scrambled(png);
    ResourceStream stream(stored.data(), std::uint32_t(stored.size()));
    DecodedImage image;
    decodePng(stream, image);
    return image;
}

// The premultiplied channel: the shift by 8, not a division by 255.
int pre(int channel, int alpha) { return alpha == 0 ? 0 : (channel * alpha) / 256; }

}  // namespace

TEST(ResourceStreamRead, UnscramblesEveryByteButZeroAndFF) {
    const std::uint8_t stored[] = {0x00, 0xFF, 0x01, 0x7F, 0x80, 0xFE};
    ResourceStream stream(stored, sizeof stored);
    std::uint8_t out[6] = {};
    ASSERT_TRUE(stream.read(out, 6));
    const std::uint8_t expected[] = {0x00, 0xFF, 0xFE, 0x80, 0x7F, 0x01};
    EXPECT_EQ(0, std::memcmp(out, expected, 6));
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(ResourceStream::unscramble(ResourceStream::unscramble(std::uint8_t(b))), b);
}

TEST(ResourceStreamRead, ReadPastTheEndDeliversNothingAndKeepsThePosition) {
    const std::uint8_t stored[] = {0x10, 0x20, 0x30, 0x40};
    ResourceStream stream(stored, sizeof stored);
    std::uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    ASSERT_TRUE(stream.read(out, 3));
    EXPECT_EQ(stream.getPosition(), 3u);
    out[0] = 0x55;
    EXPECT_FALSE(stream.read(out, 2));
    EXPECT_EQ(stream.getPosition(), 3u);
    EXPECT_EQ(out[0], 0x55);
    EXPECT_FALSE(stream.read(out, 0));
    ASSERT_TRUE(stream.read(out, 1));
    EXPECT_EQ(out[0], 0xBF);
    EXPECT_EQ(stream.getPosition(), 4u);
}

TEST(Premultiply, ShiftsByEightAndClearsTransparentPixels) {
    std::uint8_t px[] = {50, 100, 200, 0, 200, 200, 200, 128, 255, 255, 255, 255, 10, 20, 30, 1};
    premultiply(px, 4);
    const std::uint8_t expected[] = {0, 0, 0, 0, 100, 100, 100, 128, 254, 254, 254, 255, 0, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(px, expected, sizeof px));
}

namespace {

TestPng picture(int width, int height, int colorType, int bitDepth, std::vector<std::vector<png_byte>> rows) {
    TestPng png;
    png.width = width;
    png.height = height;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.rows = std::move(rows);
    return png;
}

struct ExpectedPixel {
    int x, y;
    std::array<int, 4> bgra;
};

}  // namespace

// Every colour type and depth ends as premultiplied blue, green, red, alpha, stored
// bottom row first (pixel() reads it that way, so a top-down store fails the RGBA case).
TEST(PngDecoding, EveryColourTypeEndsAsPremultipliedBgra) {
    TestPng palette = picture(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1, 2}});
    palette.palette = {{200, 100, 50}, {0, 0, 255}, {255, 255, 255}};
    palette.paletteAlpha = {0, 128};
    TestPng lowPalette = picture(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {{0b00011011}});
    lowPalette.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    TestPng keyed = picture(2, 1, PNG_COLOR_TYPE_GRAY, 8, {{7, 9}});
    keyed.greyTransparent = true;
    keyed.transparentGrey.gray = 7;
    const int white = pre(255, 255);
    struct Case {
        const char* what;
        TestPng png;
        std::vector<ExpectedPixel> pixels;
    };
    const Case cases[] = {
        {"rgba", picture(2, 2, PNG_COLOR_TYPE_RGBA, 8, {{255, 0, 0, 255, 0, 255, 0, 128}, {0, 0, 255, 255, 200, 100, 50, 0}}),
         {{0, 0, {0, 0, white, 255}}, {1, 0, {0, pre(255, 128), 0, 128}}, {0, 1, {white, 0, 0, 255}}, {1, 1, {0, 0, 0, 0}}}},
        {"rgb gets an opaque filler", picture(1, 1, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30}}),
         {{0, 0, {pre(30, 255), pre(20, 255), pre(10, 255), 255}}}},
        {"palette with transparency", palette,
         {{0, 0, {0, 0, 0, 0}}, {1, 0, {pre(255, 128), 0, 0, 128}}, {2, 0, {254, 254, 254, 255}}}},
        {"2-bit palette", lowPalette, {{1, 0, {0, 0, 254, 255}}, {3, 0, {254, 0, 0, 255}}}},
        {"1-bit grey", picture(8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10000001}}),
         {{0, 0, {254, 254, 254, 255}}, {1, 0, {0, 0, 0, 255}}, {7, 0, {254, 254, 254, 255}}}},
        {"grey with alpha", picture(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{200, 128}}), {{0, 0, {100, 100, 100, 128}}}},
        {"grey with a transparent key", keyed,
         {{0, 0, {0, 0, 0, 0}}, {1, 0, {pre(9, 255), pre(9, 255), pre(9, 255), 255}}}},
        // 200, 100, 50, alpha 128 in the high bytes: stripped to eight bits.
        {"16-bit rgba", picture(1, 1, PNG_COLOR_TYPE_RGBA, 16, {{0xC8, 0x11, 0x64, 0x22, 0x32, 0x33, 0x80, 0x44}}),
         {{0, 0, {pre(50, 128), pre(100, 128), pre(200, 128), 128}}}},
    };
    for (const Case& c : cases) {
        const DecodedImage image = decodeStored(c.png.encode());
        ASSERT_TRUE(image.pixels) << c.what;
        EXPECT_EQ(image.width, c.png.width) << c.what;
        EXPECT_EQ(image.height, c.png.height) << c.what;
        for (const ExpectedPixel& e : c.pixels)
            EXPECT_EQ(pixel(image, e.x, e.y), e.bgra) << c.what << " at " << e.x << "," << e.y;
    }
}

TEST(PngDecoding, InterlacedImagesDecodeCompletely) {
    TestPng png;
    png.width = 9;
    png.height = 9;
    png.colorType = PNG_COLOR_TYPE_GRAY;
    png.interlaced = true;
    for (int y = 0; y < 9; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 9; ++x) row.push_back(png_byte(x * 20 + y));
        png.rows.push_back(row);
    }
    const DecodedImage image = decodeStored(png.encode());
    ASSERT_TRUE(image.pixels);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(pixel(image, x, y)[1], pre(x * 20 + y, 255)) << x << "," << y;
}

// ---- failure paths --------------------------------------------------------------------

namespace {

std::vector<std::uint8_t> smallRgba() {
    TestPng png;
    png.width = 16;
    png.height = 16;
    for (int y = 0; y < 16; ++y) png.rows.push_back(std::vector<png_byte>(64, png_byte(y * 16)));
    return png.encode();
}

void putBigEndian(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v >> 24);
    b[at + 1] = std::uint8_t(v >> 16);
    b[at + 2] = std::uint8_t(v >> 8);
    b[at + 3] = std::uint8_t(v);
}

// Rewrites the header's size and its checksum, so only the size is absurd.
std::vector<std::uint8_t> withHeaderSize(std::vector<std::uint8_t> png, std::uint32_t w, std::uint32_t h) {
    putBigEndian(png, 16, w);
    putBigEndian(png, 20, h);
    const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + 12, 17);
    putBigEndian(png, 29, std::uint32_t(crc));
    return png;
}

}  // namespace

TEST(PngDecodingFailures, BrokenFilesGiveNoImage) {
    std::vector<std::uint8_t> headerCut = smallRgba(), badChecksum = smallRgba();
    headerCut.resize(20);
    badChecksum[29] ^= 0x01;  // header checksum
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"not a png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!', '!', '!'}},
        {"empty", {}},
        {"cut inside the header", headerCut},
        {"bad header checksum", badChecksum},
    };
    for (const auto& [what, bytes] : cases) {
        const DecodedImage image = decodeStored(bytes);
        EXPECT_FALSE(image.pixels) << what;
        EXPECT_EQ(image.width, 0) << what;
        EXPECT_EQ(image.height, 0) << what;
    }
    std::vector<std::uint8_t> half = smallRgba();
    half.resize(half.size() / 2);
    const DecodedImage image = decodeStored(half);
    EXPECT_EQ(image.width, 16) << "cut after the header: the header was read";
    EXPECT_EQ(image.height, 16);
}

TEST(PngDecodingFailures, AnErrorSkipsPremultiplication) {
    TestPng png;
    png.width = 64;
    png.height = 64;
    png.idatChunkSize = 512;  // many chunks, so a cut leaves the first rows readable
    std::uint32_t seed = 1;
    for (int y = 0; y < 64; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1664525u + 1013904223u;  // noise keeps the data from compressing away
            row.insert(row.end(), {200, png_byte(seed >> 24), 200, 128});
        }
        png.rows.push_back(row);
    }
    const std::vector<std::uint8_t> whole = png.encode();
    const DecodedImage complete = decodeStored(whole);
    ASSERT_TRUE(complete.complete);
    EXPECT_EQ(pixel(complete, 0, 0)[0], 100);

    std::vector<std::uint8_t> cut = whole;
    cut.resize(whole.size() * 3 / 4);
    const DecodedImage partial = decodeStored(cut);
    ASSERT_TRUE(partial.pixels);
    EXPECT_FALSE(partial.complete);
    EXPECT_EQ(pixel(partial, 0, 0)[0], 200) << "the top row was read but left as decoded";
    EXPECT_EQ(pixel(partial, 0, 63)[3], 0) << "the bottom row was never read";
}

TEST(PngDecodingFailures, AbsurdDimensionsAllocateNothing) {
    const DecodedImage image = decodeStored(withHeaderSize(smallRgba(), 100000, 100000));
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.width, 100000);
    EXPECT_EQ(image.height, 100000);

    // Within the limit but with far too little data: decodes what it can, no crash.
    const DecodedImage large = decodeStored(withHeaderSize(smallRgba(), 2000, 2000));
    EXPECT_EQ(large.width, 2000);
}
