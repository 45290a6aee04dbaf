#pragma once
// Device contexts the program paints with, each released by its owner, a double buffer, and
// brushes and pens cached per colour.

#include <map>
#include <optional>
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

// A memory DC, compatible with the screen, with one bitmap selected; all three freed together.
class BitmapDC {
public:
    BitmapDC() = default;
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    ~BitmapDC() { Reset(); }

    // Replaces the bitmap with a new one of `size`; false (and empty) when it cannot be made.
    bool Make(SIZE size);
    // Makes a larger bitmap where the one held is smaller than `size` in either direction.
    bool Hold(SIZE size);
    void Reset();
    HDC Get() const { return dc_ ? dc_->Get() : nullptr; }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    SIZE Size() const { return size_; }

private:
    std::optional<MemoryDC> dc_;
    UniqueBitmap bitmap_;
    std::optional<ScopedSelect> selected_; // last: put back before the bitmap and the DC go
    SIZE size_{};
};

// Off-screen drawing for one paint, in the target's coordinates and with its font, copied to the
// target in one piece when it ends. The bitmap stays in `store` for the next paint and grows when a
// paint needs more; where none can be made the drawing goes straight to the target.
class BufferedPaint {
public:
    BufferedPaint(BitmapDC& store, HDC target, const RECT& area);
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint();
    HDC Get() const { return buffered_ ? store_.Get() : target_; }

private:
    BitmapDC& store_;
    HDC target_;
    RECT area_;
    HGDIOBJ previousFont_ = nullptr;
    bool buffered_ = false;
};

// A buffered paint with a bitmap of its own, freed when the paint ends.
class DoubleBuffer {
public:
    DoubleBuffer(HDC target, const RECT& area) : paint_(store_, target, area) {}
    HDC Get() const { return paint_.Get(); }

private:
    BitmapDC store_;
    BufferedPaint paint_;
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
