#pragma once
// Windows that hold other controls: panels and group boxes. Both pass their children's
// notifications up, so the form sees every control's commands.

#include <windows.h>

namespace veltrane {

extern const wchar_t kPanelClass[];

void PanelClassRegister();
// Lets a standard group box hold controls of its own.
void GroupBoxMakeContainer(HWND groupBox);
// The background colour of the panel that holds a control, or CLR_INVALID.
COLORREF ContainerColor(HWND control);

} // namespace veltrane
