#pragma once
// A 32-bit top-down DIB section selected into a memory DC, readable pixel by pixel.

#include <cstdint>

#include "platform/Paint.h"

namespace veltrane {

class Canvas {
public:
    Canvas(int width, int height) : dc_(ScreenDC().Get()) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_.Reset(
            ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
        width_ = width;
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { ::SelectObject(dc_.Get(), previous_); }
    HDC Get() const { return dc_.Get(); }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    MemoryDC dc_;
    UniqueBitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
};

} // namespace veltrane
