#pragma once
// Pictures from the program's resources.

#include "platform/Handles.h"

namespace veltrane {

// The header of a 32-bit BI_RGB DIB of `width` x `height`; rows top-down, as decoded pixels come,
// unless `bottomUp`.
BITMAPINFO Dib32Info(int width, int height, bool bottomUp = false);
// A 32-bit bitmap resource as a DIB section, alpha kept.
UniqueBitmap BitmapLoad(int resourceId);
// The same picture composed over a solid background, for controls that ignore alpha.
UniqueBitmap BitmapLoadOver(int resourceId, COLORREF background);
// An image list of square images cut from a horizontal strip.
UniqueImageList ImageListFromStrip(int resourceId, int size);
// Square icons cut from a horizontal 32-bit strip, alpha kept, made with the system's own icon calls:
// the notification area's icon shows before any window with controls exists.
class IconStrip {
public:
    IconStrip() = default;
    IconStrip(int resourceId, int size);
    int Count() const { return count_; }
    UniqueIcon Icon(int index) const;

private:
    UniqueBitmap strip_;
    int size_ = 0;
    int count_ = 0;
};

// A button glyph: the strip holds the normal image and its greyed twin for the disabled state.
UniqueImageList ButtonGlyphList(int resourceId);

// Shows `bitmap` in a static control. Version 6 of the common controls keeps a copy of its own of a
// bitmap with alpha and hands that copy back on the next STM_SETIMAGE: a handle coming back that is
// not `given` (the caller's previous bitmap, which stays the caller's) is such a copy and is freed.
void StaticSetBitmap(HWND control, HBITMAP bitmap, HBITMAP given);

} // namespace veltrane
