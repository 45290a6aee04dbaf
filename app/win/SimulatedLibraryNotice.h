#pragma once
// What the program says while the simulated driver library is loaded: nothing is protected.

#include "app/win/TTrayIcon.h"
#include "driver/DriverLibrary.h"

namespace veltrane {

// The tray icon's tip says so with the simulated library and stays empty with the driver's.
void TrayIconTellLibrary(TTrayIcon& icon, const DriverLibrary& driver);

} // namespace veltrane
