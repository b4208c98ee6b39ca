// libFuzzer target: stored (scrambled) resource bytes through the image loader's
// stream and PNG decoder. Any crash, leak, overflow or huge allocation is a finding.
#include <cstddef>
#include <cstdint>

#include "gui/PngDecoder.h"
#include "gui/ResourceStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    ResourceStream stream(data, std::uint32_t(size));
    DecodedImage image;
    decodePng(stream, image);
    if (image.pixels) {
        // Touch the whole buffer so a mis-sized one shows up under the address sanitizer.
        volatile std::uint8_t sink = 0;
        const std::uint8_t* bits = image.pixels->bits();
        const std::size_t bytes = std::size_t(image.width) * std::size_t(image.height) * 4;
        for (std::size_t i = 0; i < bytes; i += 61) sink = std::uint8_t(sink ^ bits[i]);
        (void)sink;
    }
    return 0;
}
