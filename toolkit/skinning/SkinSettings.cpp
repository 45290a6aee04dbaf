#include "toolkit/skinning/SkinSettings.h"

#include "toolkit/skinning/ForeignClasses.h"

namespace veltrane {

TSkinControls SkinSettings::DefaultSkinControls() {
    TSkinControls controls;
    for (int m = xcMainMenu; m <= xcSystemMenu; ++m)
        controls.Include(TSkinControlType(m));
    controls.Exclude(xcMenuItem);
    return controls;
}

std::vector<std::string> SkinSettings::DefaultForeignClasses() {
    return {kDefaultForeignClasses.begin(), kDefaultForeignClasses.end()};
}

SkinSettings SkinSettingsStored() {
    SkinSettings stored;
    stored.active = true;
    stored.skinControls = {xcMainMenu,  xcPopupMenu, xcToolbar,  xcControlbar, xcCombo,
                           xcProgress,  xcScrollbar, xcEdit,     xcSpin,       xcGroupBox,
                           xcStatusBar, xcTab,       xcTrackBar, xcSystemMenu};
    return stored;
}

} // namespace veltrane
