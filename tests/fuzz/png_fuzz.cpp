// PNG skins as an operator may replace them, decoded by the quick decoder.
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "ui/png_fast_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> pixels;
    bool asked = false;
    const png::Result result = png::DecodePremultipliedBgra({data, size}, [&](uint32_t w, uint32_t h) -> uint8_t* {
        fuzz::Require(!asked, "pixels are asked for once");
        fuzz::Require(w > 0 && h > 0 && w <= png::kMaxSide && h <= png::kMaxSide, "the size is within the limits");
        asked = true;
        // Large pictures are sound input but slow to fuzz; they are refused.
        if (uint64_t{w} * h > 1024 * 1024) return nullptr;
        pixels.assign(size_t{w} * h * 4, 0);
        return pixels.data();
    });
    fuzz::Require(result != png::Result::Decoded || asked, "a decoded picture had pixels to go to");
    fuzz::Require(result != png::Result::Unsupported || !asked, "a kind left to the system wrote nothing");
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const uint8_t alpha = pixels[i + 3];
        if (result == png::Result::Decoded)
            fuzz::Require(pixels[i] <= alpha && pixels[i + 1] <= alpha && pixels[i + 2] <= alpha,
                          "colours are premultiplied");
    }
    return 0;
}
