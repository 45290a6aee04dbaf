#include "platform/Bitmaps.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/CommonControls.h"
#include "platform/Paint.h"
#include "platform/Window.h"
#include "base/IconMask.h"

namespace veltrane {

BITMAPINFO Dib32Info(int width, int height, bool bottomUp) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), width, bottomUp ? height : -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

namespace {

constexpr int kGlyphSize = 16;

// Button image-list slots: normal, hot, pressed, disabled, defaulted, stylus hot.
constexpr int kGlyphSlots[] = {0, 0, 0, 1, 0, 0};

UniqueBitmap BitmapCopy(HBITMAP source, int x, int width, int height) {
    ScreenDC screen;
    MemoryDC from(screen.Get());
    MemoryDC to(screen.Get());
    BITMAPINFO info = Dib32Info(width, height, true);
    void* bits = nullptr;
    UniqueBitmap copy(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (copy) {
        ScopedSelect a(from.Get(), source);
        ScopedSelect b(to.Get(), copy.Get());
        ::BitBlt(to.Get(), 0, 0, width, height, from.Get(), x, 0, SRCCOPY);
    }
    return copy;
}

} // namespace

UniqueBitmap BitmapLoad(int resourceId) {
    return UniqueBitmap(HBITMAP(::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0,
                                             0, LR_CREATEDIBSECTION)));
}

UniqueBitmap BitmapLoadOver(int resourceId, COLORREF background) {
    UniqueBitmap bitmap = BitmapLoad(resourceId);
    DIBSECTION dib{};
    if (!bitmap || ::GetObjectW(bitmap.Get(), sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32)
        return bitmap;
    auto* pixel = static_cast<std::uint8_t*>(dib.dsBm.bmBits);
    const std::uint8_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    const long count = long(dib.dsBm.bmWidth) * std::labs(dib.dsBm.bmHeight);
    for (long i = 0; i < count; ++i, pixel += 4) {
        const unsigned alpha = pixel[3];
        for (int c = 0; c < 3; ++c)
            pixel[c] = std::uint8_t((pixel[c] * alpha + bg[c] * (255 - alpha)) / 255);
        pixel[3] = 255;
    }
    return bitmap;
}

UniqueImageList ImageListFromStrip(int resourceId, int size) {
    UniqueBitmap strip = BitmapLoad(resourceId);
    BITMAP info{};
    if (!strip || !::GetObjectW(strip.Get(), sizeof info, &info))
        return {};
    UniqueImageList list(comctl::ImageList_Create(size, size, ILC_COLOR32, info.bmWidth / size, 0));
    comctl::ImageList_Add(list.Get(), strip.Get(), nullptr);
    return list;
}

IconStrip::IconStrip(int resourceId, int size) : strip_(BitmapLoad(resourceId)), size_(size) {
    BITMAP info{};
    if (strip_ && size > 0 && ::GetObjectW(strip_.Get(), sizeof info, &info))
        count_ = info.bmWidth / size;
}

UniqueIcon IconStrip::Icon(int index) const {
    if (index < 0 || index >= count_)
        return {};
    UniqueBitmap colour = BitmapCopy(strip_.Get(), index * size_, size_, size_);
    DIBSECTION dib{};
    if (!colour || ::GetObjectW(colour.Get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits)
        return {};
    // The copy is bottom-up; the mask, like every monochrome bitmap, is top row first.
    const std::size_t rowBytes = std::size_t(size_) * 4;
    std::vector<std::uint8_t> pixels(rowBytes * std::size_t(size_));
    auto* bits = static_cast<std::uint8_t*>(dib.dsBm.bmBits);
    IconClearTransparent({bits, pixels.size()});
    for (int y = 0; y < size_; ++y)
        std::memcpy(pixels.data() + std::size_t(y) * rowBytes, bits + std::size_t(size_ - 1 - y) * rowBytes,
                    rowBytes);
    // Where the shell draws without alpha, the mask alone keeps the corners clear.
    const std::vector<std::uint8_t> maskBits = IconMaskFromAlpha(pixels, size_, size_);
    UniqueBitmap mask(::CreateBitmap(size_, size_, 1, 1, maskBits.data()));
    ICONINFO parts{TRUE, 0, 0, mask.Get(), colour.Get()};
    return UniqueIcon(mask ? ::CreateIconIndirect(&parts) : nullptr);
}

UniqueImageList ButtonGlyphList(int resourceId) {
    UniqueBitmap strip = BitmapLoad(resourceId);
    if (!strip)
        return {};
    UniqueImageList list(comctl::ImageList_Create(kGlyphSize, kGlyphSize, ILC_COLOR32, 6, 0));
    for (int slot : kGlyphSlots) {
        UniqueBitmap image = BitmapCopy(strip.Get(), slot * kGlyphSize, kGlyphSize, kGlyphSize);
        comctl::ImageList_Add(list.Get(), image.Get(), nullptr);
    }
    return list;
}

void StaticSetBitmap(HWND control, HBITMAP bitmap, HBITMAP given) {
    auto previous = HBITMAP(::SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)));
    if (previous && previous != given)
        ::DeleteObject(previous);
}

} // namespace veltrane
