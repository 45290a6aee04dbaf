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

} // namespace veltrane
