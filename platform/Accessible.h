#pragma once
// What the program's controls tell assistive technology (Active Accessibility): each control
// answers WM_GETOBJECT with an object of its own, built over the system's standard object, that
// gives its role, name, state and default action as Windows' own proxies give them for standard
// controls. Wine's proxies call every control a plain client area; ours read the same everywhere.

#include <windows.h>

#include <memory>
#include <string_view>

#include "platform/Com.h"
#include "platform/Layout.h"
#include "platform/Subclass.h"

namespace veltrane {

// Gives a control of a layout its accessible object for as long as the returned subclass and the
// window both live; null for kinds the standard object describes well enough (panels). The thread
// joins the apartment when a client first asks.
std::unique_ptr<WindowSubclass> AccessibleAttach(HWND control, const ControlLayout& layout,
                                                 ComApartment& apartment);

// A picture that opens a page when clicked reads as a link of that name, whose default action is
// the click.
void AccessiblePictureLink(HWND picture, std::wstring_view name);

} // namespace veltrane
