#pragma once
// Pictures from the program's resources.

#include "platform/Handles.h"

namespace veltrane {

// A 32-bit bitmap resource as a DIB section, alpha kept.
UniqueBitmap BitmapLoad(int resourceId);
// The same picture composed over a solid background, for controls that ignore alpha.
UniqueBitmap BitmapLoadOver(int resourceId, COLORREF background);
// An image list of square images cut from a horizontal strip.
UniqueImageList ImageListFromStrip(int resourceId, int size);
// A button glyph: the strip holds the normal image and its greyed twin for the disabled state.
UniqueImageList ButtonGlyphList(int resourceId);

// Shows `bitmap` in a static control. Version 6 of the common controls keeps a copy of its own of a
// bitmap with alpha and hands that copy back on the next STM_SETIMAGE: a handle coming back that is
// not `given` (the caller's previous bitmap, which stays the caller's) is such a copy and is freed.
void StaticSetBitmap(HWND control, HBITMAP bitmap, HBITMAP given);

} // namespace veltrane
