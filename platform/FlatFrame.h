#pragma once
// A flat frame around a control: one pixel normally, two while the pointer is over the control or
// it has the keyboard focus.

#include <windows.h>

namespace veltrane {

void FlatFrameAttach(HWND control);

} // namespace veltrane
