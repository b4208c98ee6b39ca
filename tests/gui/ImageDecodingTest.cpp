#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <cstring>

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

TEST(PngDecoding, RgbaRowsAreStoredBottomUpInBlueGreenRedAlpha) {
    TestPng png;
    png.width = 2;
    png.height = 2;
    png.rows = {{255, 0, 0, 255, 0, 255, 0, 128}, {0, 0, 255, 255, 200, 100, 50, 0}};
    const DecodedImage image = decodeStored(png.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    // The first row in memory is the picture's bottom row.
    const std::uint8_t* bits = image.pixels->bits();
    EXPECT_EQ(bits[0], pre(255, 255));  // bottom-left is blue
    EXPECT_EQ(bits[3], 255);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{0, 0, pre(255, 255), 255}));
    EXPECT_EQ(pixel(image, 1, 0), (std::array<int, 4>{0, pre(255, 128), 0, 128}));
    EXPECT_EQ(pixel(image, 1, 1), (std::array<int, 4>{0, 0, 0, 0}));
}

TEST(PngDecoding, RgbWithoutTransparencyGetsOpaqueFiller) {
    TestPng png;
    png.width = 1;
    png.height = 1;
    png.colorType = PNG_COLOR_TYPE_RGB;
    png.rows = {{10, 20, 30}};
    const DecodedImage image = decodeStored(png.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{pre(30, 255), pre(20, 255), pre(10, 255), 255}));
}

TEST(PngDecoding, PaletteWithTransparencyExpandsToAlpha) {
    TestPng png;
    png.width = 3;
    png.height = 1;
    png.colorType = PNG_COLOR_TYPE_PALETTE;
    png.bitDepth = 8;
    png.palette = {{200, 100, 50}, {0, 0, 255}, {255, 255, 255}};
    png.paletteAlpha = {0, 128};
    png.rows = {{0, 1, 2}};
    const DecodedImage image = decodeStored(png.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (std::array<int, 4>{pre(255, 128), 0, 0, 128}));
    EXPECT_EQ(pixel(image, 2, 0), (std::array<int, 4>{254, 254, 254, 255}));
}

TEST(PngDecoding, LowBitPaletteAndGreyExpand) {
    TestPng palette;
    palette.width = 4;
    palette.height = 1;
    palette.colorType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 2;
    palette.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    palette.rows = {{0b00011011}};
    DecodedImage image = decodeStored(palette.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 1, 0), (std::array<int, 4>{0, 0, 254, 255}));
    EXPECT_EQ(pixel(image, 3, 0), (std::array<int, 4>{254, 0, 0, 255}));

    TestPng grey;
    grey.width = 8;
    grey.height = 1;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 1;
    grey.rows = {{0b10000001}};
    image = decodeStored(grey.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{254, 254, 254, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 7, 0), (std::array<int, 4>{254, 254, 254, 255}));
}

TEST(PngDecoding, GreyWithAlphaAndGreyWithTransparentKey) {
    TestPng greyAlpha;
    greyAlpha.width = 1;
    greyAlpha.height = 1;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {{200, 128}};
    DecodedImage image = decodeStored(greyAlpha.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{100, 100, 100, 128}));

    TestPng keyed;
    keyed.width = 2;
    keyed.height = 1;
    keyed.colorType = PNG_COLOR_TYPE_GRAY;
    keyed.greyTransparent = true;
    keyed.transparentGrey.gray = 7;
    keyed.rows = {{7, 9}};
    image = decodeStored(keyed.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (std::array<int, 4>{pre(9, 255), pre(9, 255), pre(9, 255), 255}));
}

TEST(PngDecoding, SixteenBitChannelsAreStrippedToEight) {
    TestPng png;
    png.width = 1;
    png.height = 1;
    png.colorType = PNG_COLOR_TYPE_RGBA;
    png.bitDepth = 16;
    png.rows = {{0xC8, 0x11, 0x64, 0x22, 0x32, 0x33, 0x80, 0x44}};  // 200, 100, 50; alpha 128 (high bytes)
    const DecodedImage image = decodeStored(png.encode());
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<int, 4>{pre(50, 128), pre(100, 128), pre(200, 128), 128}));
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

TEST(PngDecodingFailures, NotAPngGivesNoImage) {
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!', '!', '!'};
    const DecodedImage image = decodeStored(text);
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_FALSE(decodeStored({}).pixels);
}

TEST(PngDecodingFailures, TruncatedDataStopsWithThePartReadSoFar) {
    std::vector<std::uint8_t> png = smallRgba();
    png.resize(png.size() / 2);
    const DecodedImage image = decodeStored(png);
    EXPECT_EQ(image.width, 16);  // the header was read
    EXPECT_EQ(image.height, 16);

    std::vector<std::uint8_t> headerOnly = smallRgba();
    headerOnly.resize(20);
    const DecodedImage none = decodeStored(headerOnly);
    EXPECT_FALSE(none.pixels);
    EXPECT_EQ(none.width, 0);
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

TEST(PngDecodingFailures, BadChecksumEndsDecoding) {
    std::vector<std::uint8_t> png = smallRgba();
    png[29] ^= 0x01;  // header checksum
    const DecodedImage image = decodeStored(png);
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.width, 0);
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
