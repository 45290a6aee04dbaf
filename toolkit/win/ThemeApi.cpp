#include "toolkit/win/ThemeApi.h"

namespace veltrane {

namespace {

template <typename Fn> Fn ProcFind(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

} // namespace

const ThemeApi& ThemeApi::Get() {
    static const ThemeApi api;
    return api;
}

ThemeApi::ThemeApi() : module_(::LoadLibraryW(L"uxtheme.dll")) {
    open_ = ProcFind<OpenThemeDataFn>(module_, "OpenThemeData");
    close_ = ProcFind<CloseThemeDataFn>(module_, "CloseThemeData");
    drawBackground_ = ProcFind<DrawThemeBackgroundFn>(module_, "DrawThemeBackground");
    drawParentBackground_ = ProcFind<DrawThemeParentBackgroundFn>(module_, "DrawThemeParentBackground");
    isThemeActive_ = ProcFind<IsThemedFn>(module_, "IsThemeActive");
    isAppThemed_ = ProcFind<IsThemedFn>(module_, "IsAppThemed");
}

ThemeApi::~ThemeApi() {
    if (module_)
        ::FreeLibrary(module_);
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
    return drawParentBackground_ && SUCCEEDED(drawParentBackground_(window, dc, &area));
}

} // namespace veltrane
