// BMP headers and pixels on any bytes: the whole image decoded as GDI is given it must agree with the
// reader's own pixel lookups, and stay inside the image and the file.
#include <string>

#include "toolkit/skin/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto bmp = veltrane::ParseBmp(std::span(data, size), error);
    if (!bmp)
        return 0;
    const std::vector<std::uint32_t> pixels = veltrane::BmpDecodeDib32(*bmp);
    if (pixels.size() != std::size_t(bmp->width) * std::size_t(bmp->height))
        __builtin_trap();
    const int xs[] = {0, bmp->width / 3, bmp->width - 1};
    const int ys[] = {0, bmp->height / 3, bmp->height - 1};
    for (int x : xs)
        for (int y : ys) {
            const std::optional<veltrane::Rgb> c = bmp->PixelAt(x, y);
            const std::uint32_t decoded = pixels[std::size_t(y) * std::size_t(bmp->width) + std::size_t(x)];
            if (c &&
                decoded != (veltrane::RedOf(*c) << 16 | veltrane::GreenOf(*c) << 8 | veltrane::BlueOf(*c)))
                __builtin_trap();
        }
    return 0;
}
