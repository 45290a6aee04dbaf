#include "toolkit/win/TGlyphButton.h"

#include <vssym32.h>

#include "platform/Bitmaps.h"
#include "platform/CommonControls.h"
#include "toolkit/win/GdiDraw.h"

namespace veltrane {

namespace {

constexpr int kGlyphSide = 16;

// A list without the disabled image shows its first one greyed instead.
ButtonGlyph GlyphOf(HIMAGELIST glyphs, int image) {
    const int count = glyphs ? comctl::ImageList_GetImageCount(glyphs) : 0;
    if (count == 0)
        return {};
    return {glyphs, image < count ? image : 0};
}

void ContentDraw(HDC dc, const RECT& area, const ButtonState& state, const GlyphButtonLook& look,
                 std::wstring_view caption, HIMAGELIST glyphs) {
    const ButtonGlyph glyph = GlyphOf(glyphs, look.glyphImage);
    ButtonContentDraw(dc, area, caption, glyph, look.contentOffset, glyph.index != look.glyphImage,
                      state.enabled, GlyphLayout::Left);
}

// Light top and left, dark bottom and right; the four corner pixels keep the background.
void FlatEdgeDraw(HDC dc, const RECT& r) {
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
    SolidFill(dc, {r.left + 1, r.top, r.right - 1, r.top + 1}, light);
    SolidFill(dc, {r.left, r.top + 1, r.left + 1, r.bottom - 1}, light);
    SolidFill(dc, {r.left + 1, r.bottom - 1, r.right - 1, r.bottom}, dark);
    SolidFill(dc, {r.right - 1, r.top + 1, r.right, r.bottom - 1}, dark);
}

} // namespace

void TGlyphButton::SetGlyphs(UniqueImageList images) {
    glyphs_ = std::move(images);
    Redraw();
}

void TGlyphButton::SetGlyphStrip(int stripResource) {
    SetGlyphs(ImageListFromStrip(stripResource, kGlyphSide));
}

void TGlyphButton::Attached() {
    theme_.Reset(ThemeApi::Get().Open(Window(), L"BUTTON"));
}

void TGlyphButton::DrawClassic(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                               HIMAGELIST glyphs, const GlyphButtonOptions& options) {
    if (area.right - area.left < 2 || area.bottom - area.top < 2)
        return;
    const GlyphButtonLook look = GlyphButtonLookFor(state, Rgb(::GetSysColor(COLOR_HIGHLIGHT)), options);
    SolidFill(dc, RectInset(area, 1), ::GetSysColor(COLOR_BTNFACE));
    FlatEdgeDraw(dc, area);
    int inset = 1;
    for (const Rgb ring : look.bevelRings)
        SolidFrame(dc, RectInset(area, inset++), COLORREF(ring));
    ContentDraw(dc, area, state, look, caption, glyphs);
}

void TGlyphButton::DrawThemed(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                              HIMAGELIST glyphs, HTHEME theme, const GlyphButtonOptions& options) {
    const GlyphButtonLook look = GlyphButtonLookFor(state, Rgb(::GetSysColor(COLOR_HIGHLIGHT)), options);
    ThemeApi::Get().DrawBackground(theme, dc, BP_PUSHBUTTON, int(look.themedState), area);
    ContentDraw(dc, area, state, look, caption, glyphs);
}

void TGlyphButton::DrawFace(HDC dc, const RECT& client, const ButtonState& state, std::wstring_view caption) {
    if (theme_ && ThemeApi::Get().Active())
        DrawThemed(dc, client, state, caption, glyphs_.Get(), theme_.Get(), Options);
    else
        DrawClassic(dc, client, state, caption, glyphs_.Get(), Options);
}

LRESULT TGlyphButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_THEMECHANGED) {
        theme_.Reset(ThemeApi::Get().Open(Window(), L"BUTTON"));
        Redraw();
    }
    return DrawnButton::HandleMessage(message, wParam, lParam);
}

} // namespace veltrane
