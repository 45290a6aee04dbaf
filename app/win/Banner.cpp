#include "app/win/Banner.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/Window.h"
#include "toolkit/jpeg/JpegImage.h"

namespace veltrane {

namespace {

constexpr WORD kBitsPerPixel = 24;

// Resource memory stays mapped while the module is loaded; nothing to free.
std::span<const std::uint8_t> RawResource(int resourceId) {
    HMODULE module = ModuleInstance();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!found)
        return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const std::uint8_t*>(data), ::SizeofResource(module, found)};
}

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
    const JpegDecodeResult decoded = JpegDecode(RawResource(resourceId));
    if (!decoded.Ok())
        return {};
    return DibSection(decoded.image);
}

} // namespace veltrane
