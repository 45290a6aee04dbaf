#include "app/win/Banner.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/Resources.h"
#include "toolkit/jpeg/JpegImage.h"

namespace veltrane {

namespace {

constexpr WORD kBitsPerPixel = 24;

// A 24-bit section: static controls of common controls 6 treat 32-bit ones as having alpha.
UniqueBitmap DibSection(const JpegImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down, like the decoded rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return {};
    const std::vector<std::uint8_t> rows = JpegToDib24(image);
    std::memcpy(bits, rows.data(), rows.size());
    return bitmap;
}

} // namespace

UniqueBitmap BannerLoad(int resourceId) {
    const JpegDecodeResult decoded = JpegDecode(ResourceData(resourceId));
    if (!decoded.Ok())
        return {};
    return DibSection(decoded.image);
}

} // namespace veltrane
