#pragma once
// The main window's banner: a JPEG kept as a raw resource, turned into a bitmap a picture control shows.

#include "platform/Handles.h"

namespace veltrane {

// Empty when the resource is missing or does not decode; the window then shows no banner.
UniqueBitmap BannerLoad(int resourceId);

} // namespace veltrane
