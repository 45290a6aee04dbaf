#pragma once
// Pixel sizes and rectangles for the drawn components, laid out like the system's RECT so the
// Win32 layer copies them field by field.

namespace veltrane {

struct PixelSize {
    int width = 0;
    int height = 0;

    bool operator==(const PixelSize&) const = default;
};

// Right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

} // namespace veltrane
