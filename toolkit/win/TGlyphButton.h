#pragma once
// The dialogs' OK and Cancel buttons: the system's themed push button while visual styles are on,
// otherwise a flat face with a tinted bevel; a 16 x 16 glyph left of the caption.

#include "platform/Handles.h"
#include "toolkit/win/DrawnButton.h"
#include "toolkit/win/ThemeApi.h"

namespace veltrane {

class TGlyphButton final : public DrawnButton {
public:
    GlyphButtonOptions Options;

    // The glyphs: image 0 shown normally, image 1 while disabled (a strip of two 16 x 16 images).
    void SetGlyphs(UniqueImageList images);
    void SetGlyphStrip(int stripResource);

    // The classic drawing, over whatever `dc` already shows in `area` (the corners let it through).
    static void DrawClassic(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                            HIMAGELIST glyphs, const GlyphButtonOptions& options = {});
    // The themed drawing with `theme`, a BUTTON theme.
    static void DrawThemed(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                           HIMAGELIST glyphs, HTHEME theme, const GlyphButtonOptions& options = {});

    const char* ClassName() const override { return "TGlyphButton"; }

private:
    void Attached() override;
    void DrawFace(HDC dc, const RECT& client, const ButtonState& state, std::wstring_view caption) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    UniqueImageList glyphs_;
    UniqueTheme theme_;
};

} // namespace veltrane
