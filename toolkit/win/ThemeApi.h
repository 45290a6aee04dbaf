#pragma once
// The visual-styles library, looked up when first needed: the program must start on systems that
// have no uxtheme.dll, where every call here reports "no theme".

#include <windows.h>
#include <uxtheme.h>

#include "platform/Handles.h"

namespace veltrane {

class ThemeApi {
public:
    // The process's one copy, loaded on first use.
    static const ThemeApi& Get();

    ThemeApi(const ThemeApi&) = delete;
    ThemeApi& operator=(const ThemeApi&) = delete;
    ~ThemeApi();

    // Visual styles are on for the system and for this program.
    bool Active() const;
    // Null without visual styles.
    HTHEME Open(HWND window, const wchar_t* classes) const;
    void Close(HTHEME theme) const;
    bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& area) const;
    bool DrawParentBackground(HWND window, HDC dc, const RECT& area) const;

private:
    ThemeApi();

    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using IsThemedFn = BOOL(WINAPI*)();

    HMODULE module_ = nullptr;
    OpenThemeDataFn open_ = nullptr;
    CloseThemeDataFn close_ = nullptr;
    DrawThemeBackgroundFn drawBackground_ = nullptr;
    DrawThemeParentBackgroundFn drawParentBackground_ = nullptr;
    IsThemedFn isThemeActive_ = nullptr;
    IsThemedFn isAppThemed_ = nullptr;
};

struct ThemeTraits {
    using Handle = HTHEME;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ThemeApi::Get().Close(h); }
};
using UniqueTheme = UniqueHandle<ThemeTraits>;

} // namespace veltrane
