#pragma once
// Device contexts the program paints with, each released by its owner, a double buffer, and
// brushes and pens cached per colour.

#include <map>
#include <utility>

#include "platform/Handles.h"

namespace veltrane {

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { ::EndPaint(window_, &paint_); }

    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A DC from GetDC or GetWindowDC, given back with ReleaseDC.
class ReleasedDC {
public:
    ReleasedDC(const ReleasedDC&) = delete;
    ReleasedDC& operator=(const ReleasedDC&) = delete;
    ~ReleasedDC() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

protected:
    ReleasedDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

private:
    HWND window_;
    HDC dc_;
};

// The client area of a window.
class ClientDC final : public ReleasedDC {
public:
    explicit ClientDC(HWND window) : ReleasedDC(window, ::GetDC(window)) {}
};

// The whole window, frame included.
class WindowDC final : public ReleasedDC {
public:
    explicit WindowDC(HWND window) : ReleasedDC(window, ::GetWindowDC(window)) {}
};

// The screen.
class ScreenDC final : public ReleasedDC {
public:
    ScreenDC() : ReleasedDC(nullptr, ::GetDC(nullptr)) {}
};

// A memory DC compatible with another one.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_)
            ::DeleteDC(dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// Drawing meant for `target` goes into a memory bitmap of the area's size instead, in the target's
// coordinates, and reaches the target in one copy when the buffer goes. Where no buffer can be made
// the drawing goes straight to the target.
class DoubleBuffer {
public:
    DoubleBuffer(HDC target, const RECT& area);
    DoubleBuffer(const DoubleBuffer&) = delete;
    DoubleBuffer& operator=(const DoubleBuffer&) = delete;
    ~DoubleBuffer();

    HDC Get() const { return buffered_ ? memory_.Get() : target_; }

private:
    HDC target_;
    RECT area_;
    MemoryDC memory_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    bool buffered_ = false;
};

// Solid brushes and pens made once per colour and freed with their owner.
class GdiCache {
public:
    GdiCache() = default;
    GdiCache(const GdiCache&) = delete;
    GdiCache& operator=(const GdiCache&) = delete;

    HBRUSH Brush(COLORREF color);
    HPEN Pen(COLORREF color, int width = 1);

private:
    std::map<COLORREF, UniqueBrush> brushes_;
    std::map<std::pair<COLORREF, int>, UniquePen> pens_;
};

} // namespace veltrane
