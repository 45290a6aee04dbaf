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

    // Visual styles are on for the system and for this program.
    bool Active() const;
    // Null without visual styles.
    HTHEME Open(HWND window, const wchar_t* classes) const;
    void Close(HTHEME theme) const;
    bool DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& area) const;
    bool DrawParentBackground(HWND window, HDC dc, const RECT& area) const;

private:
    ThemeApi();

    // Null where the system lacks them; the library stays loaded for the process.
    decltype(::OpenThemeData)* open_ = nullptr;
    decltype(::CloseThemeData)* close_ = nullptr;
    decltype(::DrawThemeBackground)* drawBackground_ = nullptr;
    decltype(::DrawThemeParentBackground)* drawParentBackground_ = nullptr;
    decltype(::IsThemeActive)* isThemeActive_ = nullptr;
    decltype(::IsAppThemed)* isAppThemed_ = nullptr;
};

struct ThemeTraits {
    using Handle = HTHEME;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ThemeApi::Get().Close(h); }
};
using UniqueTheme = UniqueHandle<ThemeTraits>;

} // namespace veltrane
