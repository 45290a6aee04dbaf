#include "toolkit/win/ThemeApi.h"

#include "platform/LateBound.h"

namespace veltrane {

const ThemeApi& ThemeApi::Get() {
    static const ThemeApi api;
    return api;
}

ThemeApi::ThemeApi() {
    HMODULE module = SystemFolderLibrary(L"uxtheme.dll");
    open_ = LateBound<decltype(::OpenThemeData)>(module, "OpenThemeData");
    close_ = LateBound<decltype(::CloseThemeData)>(module, "CloseThemeData");
    drawBackground_ = LateBound<decltype(::DrawThemeBackground)>(module, "DrawThemeBackground");
    drawParentBackground_ =
        LateBound<decltype(::DrawThemeParentBackground)>(module, "DrawThemeParentBackground");
    isThemeActive_ = LateBound<decltype(::IsThemeActive)>(module, "IsThemeActive");
    isAppThemed_ = LateBound<decltype(::IsAppThemed)>(module, "IsAppThemed");
}

bool ThemeApi::Active() const {
    return open_ && close_ && drawBackground_ && isThemeActive_ && isAppThemed_ && isThemeActive_() &&
           isAppThemed_();
}

HTHEME ThemeApi::Open(HWND window, const wchar_t* classes) const {
    return Active() ? open_(window, classes) : nullptr;
}

void ThemeApi::Close(HTHEME theme) const {
    if (theme && close_)
        close_(theme);
}

bool ThemeApi::DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& area) const {
    return theme && drawBackground_ && SUCCEEDED(drawBackground_(theme, dc, part, state, &area, nullptr));
}

bool ThemeApi::DrawParentBackground(HWND window, HDC dc, const RECT& area) const {
    RECT copy = area; // older headers declare the rectangle writable
    return drawParentBackground_ && SUCCEEDED(drawParentBackground_(window, dc, &copy));
}

} // namespace veltrane
