#include "toolkit/win/TBarButton.h"

#include "toolkit/win/GdiDraw.h"

namespace veltrane {

namespace {

// A rectangle with 5 x 5 round corners: straight sides that stop two pixels short of each corner
// and one pixel on the diagonal; the two pixels outside that diagonal one take the soft colour.
void RoundBorderDraw(HDC dc, const RECT& r, COLORREF colour, std::optional<Rgb> soft) {
    const int cut = kBarButtonCornerSize / 2;
    SolidFill(dc, {r.left + cut, r.top, r.right - cut, r.top + 1}, colour);
    SolidFill(dc, {r.left + cut, r.bottom - 1, r.right - cut, r.bottom}, colour);
    SolidFill(dc, {r.left, r.top + cut, r.left + 1, r.bottom - cut}, colour);
    SolidFill(dc, {r.right - 1, r.top + cut, r.right, r.bottom - cut}, colour);
    const POINT corners[] = {
        {r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
    for (const POINT& corner : corners) {
        const int dx = corner.x == r.left ? 1 : -1;
        const int dy = corner.y == r.top ? 1 : -1;
        ::SetPixelV(dc, corner.x + dx, corner.y + dy, colour);
        if (soft) {
            ::SetPixelV(dc, corner.x + dx, corner.y, COLORREF(*soft));
            ::SetPixelV(dc, corner.x, corner.y + dy, COLORREF(*soft));
        }
    }
}

} // namespace

void TBarButton::Draw(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                      const ButtonGlyph& glyph, const BarButtonOptions& options) {
    if (area.right - area.left < kBarButtonCornerSize || area.bottom - area.top < kBarButtonCornerSize)
        return;
    const BarButtonLook look = BarButtonLookFor(state, options);
    if (look.highlight)
        BlendFill(dc, RectInset(area, 1), *look.highlight, kBarButtonFaceBands);
    BlendFill(dc, RectInset(area, look.faceInset), look.face, kBarButtonFaceBands);
    RoundBorderDraw(dc, area, COLORREF(look.border), look.softCorners);
    ButtonContentDraw(dc, area, caption, glyph, look.contentOffset, look.greyGlyph, state.enabled);
    if (look.focusRect) {
        const RECT focus = RectInset(area, look.faceInset + 1);
        const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0)), back = ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
        ::SetTextColor(dc, text);
        ::SetBkColor(dc, back);
    }
}

} // namespace veltrane
