#include "base/IconMask.h"

namespace veltrane {

std::vector<std::uint8_t> IconMaskFromAlpha(std::span<const std::uint8_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 || pixels.size() / 4 / std::size_t(width) < std::size_t(height))
        return {};
    const std::size_t stride = (std::size_t(width) + 15) / 16 * 2;
    std::vector<std::uint8_t> mask(stride * std::size_t(height), 0);
    for (std::size_t y = 0; y < std::size_t(height); ++y)
        for (std::size_t x = 0; x < std::size_t(width); ++x)
            if (pixels[(y * std::size_t(width) + x) * 4 + 3] == 0)
                mask[y * stride + x / 8] |= std::uint8_t(0x80 >> (x % 8));
    return mask;
}

void IconClearTransparent(std::span<std::uint8_t> pixels) {
    for (std::size_t i = 0; i + 4 <= pixels.size(); i += 4)
        if (pixels[i + 3] == 0)
            pixels[i] = pixels[i + 1] = pixels[i + 2] = 0;
}

} // namespace veltrane
