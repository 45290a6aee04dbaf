#include "app/win/SimulatedLibraryNotice.h"

#include "texts/Cp936.h"
#include "texts/Texts.h"

namespace veltrane {

void TrayIconTellLibrary(TTrayIcon& icon, const DriverLibrary& driver) {
    if (!driver.Simulated())
        return;
    // The tip is the shell's 8-bit record in the program's code page.
    icon.SetHint(ToCodePage936(texts::kSimulatedLibrary).value_or(""));
    icon.SetShowHint(true);
}

} // namespace veltrane
